// The minimal window program plus, one by one, steps a window like Tavro's may take before it shows,
// to see what each costs. Built several times by bench/CMakeLists.txt with some of these defined:
//   STEP_COM       a single-threaded COM apartment initialised before the window is made (Tavro enters
//                  its apartment only before it hands a URL to the shell, never on the window start)
//   STEP_BUTTONS   three child push buttons on a class derived from the system "Button" class
// With Tavro's manifest linked in, STEP_BUTTONS brings in the version 6 common controls.
#include <windows.h>
#include <objbase.h>

namespace {

constexpr int kClientWidth = 518;
constexpr int kClientHeight = 271;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

#ifdef STEP_BUTTONS
void AddButtons(HINSTANCE instance, HWND parent) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(nullptr, L"Button", &wc)) {
        return;
    }
    wc.cbSize = sizeof(wc);
    wc.style &= ~static_cast<UINT>(CS_DBLCLKS);
    wc.hInstance = instance;
    wc.lpszClassName = L"BenchStepButton";
    RegisterClassExW(&wc);
    const RECT places[] = {{5, 54, 256, 137}, {256, 54, 511, 137}, {383, 202, 512, 247}};
    for (const RECT& place : places) {
        CreateWindowExW(0, L"BenchStepButton", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, place.left,
                        place.top, place.right - place.left, place.bottom - place.top, parent, nullptr, instance,
                        nullptr);
    }
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPWSTR /*commandLine*/, int show) {
#ifdef STEP_COM
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
#endif
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"BenchStepWindow";
    if (RegisterClassExW(&wc) == 0) {
        return 1;
    }
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const HWND window =
        CreateWindowExW(0, wc.lpszClassName, L"StepWindow", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
#ifdef STEP_BUTTONS
    AddButtons(instance, window);
#endif
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
#ifdef STEP_COM
    if (com) {
        CoUninitialize();
    }
#endif
    return static_cast<int>(msg.wParam);
}
