#include "platform/DllSearch.h"

#include <windows.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace tavro {

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
}

}  // namespace tavro
