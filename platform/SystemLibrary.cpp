#include "platform/SystemLibrary.h"

#include <string>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace tavro {

UniqueModule LoadSystemLibrary(const wchar_t* fileName) {
    UniqueModule module(LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    // Windows 7 without KB2533623 rejects the flag as an invalid parameter; anything else is a
    // real failure that a full path would not mend.
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) {
        return module;
    }
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    const std::wstring path = std::wstring(folder, length) + L"\\" + fileName;
    // The altered search path looks for the DLL's own imports in its folder first.
    return UniqueModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace tavro
