#include "platform/ModulePath.h"

namespace tavro {

ModulePathParts SplitModulePath(std::wstring_view path) {
    ModulePathParts parts;
    const std::size_t separator = path.rfind(L'\\');
    std::wstring_view fileName = path;
    if (separator != std::wstring_view::npos) {
        parts.folder.assign(path.substr(0, separator));
        fileName = path.substr(separator + 1);
        // "C:" alone would mean the drive's current folder, not its root.
        if (parts.folder.size() == 2 && parts.folder[1] == L':') {
            parts.folder.push_back(L'\\');
        }
    }
    const std::size_t dot = fileName.rfind(L'.');
    parts.name.assign(dot == std::wstring_view::npos ? fileName : fileName.substr(0, dot));
    return parts;
}

}  // namespace tavro
