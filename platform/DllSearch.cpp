#include "platform/DllSearch.h"

#include <windows.h>

#include "platform/SystemLibrary.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif
#ifndef LOAD_LIBRARY_SEARCH_USER_DIRS
#define LOAD_LIBRARY_SEARCH_USER_DIRS 0x00000400
#endif

namespace tavro {

namespace {

// System DLLs that other system DLLs pull in by plain name through delay imports (the visual-style
// code draws message box buttons with msimg32). Such loads can bypass the default DLL directories,
// so the system copy is loaded first: a later load by name then finds the module already there.
constexpr const wchar_t* kDelayLoadedBySystem[] = {L"msimg32.dll"};

}  // namespace

void RestrictDllSearchToSystemFolder() {
    // Looked up at run time: Windows 7 without KB2533623 lacks it and must still start.
    bool restricted = false;
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel != nullptr) {
        const FARPROC proc = GetProcAddress(kernel, "SetDefaultDllDirectories");
        if (proc != nullptr) {
            const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(proc));
            // The user folders are those that components loaded into the process add for their
            // own DLLs (AddDllDirectory); the system folder alone would hide them and break such a
            // component. Neither holds the program's own folder, the download folder.
            restricted = setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS) != FALSE;
        }
    }
    if (!restricted) {
        // The fallback takes only the current folder out of the search: the program's own folder
        // is still searched first for a DLL loaded by name that is not a known DLL, and nothing
        // but SetDefaultDllDirectories can keep it out. Called only here, as it would otherwise
        // add nothing: the restriction above never searches the current folder.
        SetDllDirectoryW(L"");
    }

    for (const wchar_t* name : kDelayLoadedBySystem) {
        // The module stays loaded for the life of the process on purpose; that is the point.
        static_cast<void>(LoadSystemLibrary(name).release());
    }
}

}  // namespace tavro
