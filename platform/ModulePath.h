#pragma once

#include <string>
#include <string_view>

namespace tavro {

struct ModulePathParts {
    std::wstring folder;  // no trailing separator, except a drive root keeps its own ("C:\")
    std::wstring name;    // file name without its extension
};

// Splits the full path of a module, as GetModuleFileNameW reports it, into folder and name.
ModulePathParts SplitModulePath(std::wstring_view path);

}  // namespace tavro
