#include "launcher/modFileUtility.h"

#include <string_view>

namespace tavro {

std::wstring GetDesktopPath(Platform& platform) {
    PathBuffer buffer{};
    if (platform.QueryDesktopFolder(buffer) != 0) {
        return {};
    }
    const std::wstring_view text(buffer.data(), buffer.size());
    const std::size_t length = text.find(L'\0');
    if (length == std::wstring_view::npos) {
        // A path that fills the whole buffer without a terminator is not one we can trust.
        return {};
    }
    return std::wstring(text.substr(0, length));
}

bool CopyFileOverwrite(Platform& platform, const std::wstring& source, const std::wstring& destination) {
    return platform.CopyFileReplacing(source, destination);
}

}  // namespace tavro
