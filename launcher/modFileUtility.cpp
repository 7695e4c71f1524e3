#include "launcher/modFileUtility.h"

#include <algorithm>
#include <utility>

namespace tavro {

std::wstring GetDesktopPath(Platform& platform) {
    PathBuffer buffer{};
    if (platform.QueryDesktopFolder(buffer) != 0) {
        return {};
    }
    const auto terminator = std::find(buffer.begin(), buffer.end(), L'\0');
    if (terminator == buffer.end()) {
        // A path that fills the whole buffer without a terminator is not one we can trust.
        return {};
    }
    return std::wstring(buffer.begin(), terminator);
}

bool CopyFileOverwrite(Platform& platform, std::wstring source, std::wstring destination) {
    return platform.CopyFileReplacing(std::move(source), std::move(destination));
}

}  // namespace tavro
