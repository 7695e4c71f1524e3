// The same required work as Tavro's start from the desktop, done as plainly as possible: find the
// program's folder and the desktop folder to tell this start from the windowed one, enter a
// single-threaded COM apartment (OLE1 DDE off) for the shell's COM handlers, and hand the URL to
// the shell, waiting until it is handed over (the program ends right after). No window.
// Linked with Tavro's own resources, manifest included; the URL comes from bench/CMakeLists.txt.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>

#ifndef BENCH_URL
#error "BENCH_URL must name the URL to open (set by bench/CMakeLists.txt)"
#endif

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPWSTR /*commandLine*/, int /*show*/) {
    wchar_t program[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    wchar_t* const slash = std::wcsrchr(program, L'\\');
    if (length == 0 || slash == nullptr) {
        return 1;
    }
    *slash = L'\0';
    wchar_t desktop[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, desktop)) ||
        std::wcscmp(program, desktop) != 0) {
        return 1;  // not started from the desktop: nothing to time
    }

    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC;
    info.lpVerb = L"Open";
    info.lpFile = BENCH_URL;
    info.lpDirectory = L"";
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info);
    if (com) {
        CoUninitialize();
    }
    return 0;
}
