// Deliberately imports what the imports check must reject (a DLL outside the allowed set,
// directly and delay-loaded, and SetDefaultDllDirectories), so that check is seen to fail.
#include <windows.h>
#include <uxtheme.h>
#include <winver.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
    // Never true at run time; only the import tables matter.
    if (GetTickCount() == 1) {
        SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
        return IsThemeActive() ? 1 : static_cast<int>(GetFileVersionInfoSizeW(L"x", nullptr));
    }
    return 0;
}
