#include "platform/DllSearch.h"

#include <windows.h>

#include "platform/SystemLibrary.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
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
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel != nullptr) {
        const FARPROC proc = GetProcAddress(kernel, "SetDefaultDllDirectories");
        if (proc != nullptr) {
            const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(proc));
            setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
        }
    }
    // Where the call above is missing, at least take the current folder out of the search.
    SetDllDirectoryW(L"");

    for (const wchar_t* name : kDelayLoadedBySystem) {
        // The module stays loaded for the life of the process on purpose; that is the point.
        static_cast<void>(LoadSystemLibrary(name).release());
    }
}

}  // namespace tavro
