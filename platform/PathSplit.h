#pragma once

#include <string_view>

namespace tavro {

// Either separates a path's parts, as the file calls take them.
inline constexpr std::wstring_view kPathSeparators = L"\\/";

constexpr bool IsPathSeparator(wchar_t c) {
    return kPathSeparators.find(c) != std::wstring_view::npos;
}

// A path cut after its last separator.
struct PathSplit {
    std::wstring_view folder;    // up to and with that separator; empty when there is none
    std::wstring_view fileName;  // the rest: the whole path when there is no separator
};

constexpr PathSplit SplitAtLastSeparator(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(kPathSeparators);
    if (separator == std::wstring_view::npos) {
        return {{}, path};
    }
    return {path.substr(0, separator + 1), path.substr(separator + 1)};
}

}  // namespace tavro
