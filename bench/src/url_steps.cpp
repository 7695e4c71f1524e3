// The minimal URL program plus, one by one, steps a program like Tavro may take before it hands the
// URL over, to see what each of them costs. Built several times by bench/CMakeLists.txt with some of these defined:
//   STEP_COM      a single-threaded COM apartment, as Tavro's window thread has
//   STEP_WINDOW   a hidden top-level window of Tavro's size, created before the URL is opened
//   STEP_BUTTON   the system "Button" class looked up, as a button class derived from it would
// With Tavro's manifest linked in, STEP_BUTTON brings in the version 6 common controls.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#ifndef BENCH_URL
#error "BENCH_URL must name the URL to open (set by bench/CMakeLists.txt)"
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPWSTR /*commandLine*/, int /*show*/) {
#ifdef STEP_COM
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
#endif
#ifdef STEP_WINDOW
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"BenchStepWindow";
    RegisterClassExW(&wc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame{0, 0, 518, 271};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const HWND window =
        CreateWindowExW(0, wc.lpszClassName, L"Step", style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
#else
    static_cast<void>(instance);
#endif
#ifdef STEP_BUTTON
    WNDCLASSEXW button{};
    button.cbSize = sizeof(button);
    GetClassInfoExW(nullptr, L"Button", &button);
#endif

    ShellExecuteW(nullptr, L"open", BENCH_URL, nullptr, nullptr, SW_SHOWNORMAL);

#ifdef STEP_WINDOW
    DestroyWindow(window);
#endif
#ifdef STEP_COM
    if (com) {
        CoUninitialize();
    }
#endif
    return 0;
}
