#include "platform/ModulePath.h"

#include "platform/PathSplit.h"

namespace tavro {

ModulePathParts SplitModulePath(std::wstring_view path) {
    ModulePathParts parts;
    const PathSplit split = SplitAtLastSeparator(path);
    if (!split.folder.empty()) {
        parts.folder.assign(split.folder.substr(0, split.folder.size() - 1));
        // "C:" alone would mean the drive's current folder, not its root.
        if (parts.folder.size() == 2 && parts.folder[1] == L':') {
            parts.folder.push_back(L'\\');
        }
    }
    const std::size_t dot = split.fileName.rfind(L'.');
    parts.name.assign(dot == std::wstring_view::npos ? split.fileName : split.fileName.substr(0, dot));
    return parts;
}

}  // namespace tavro
