#include "launcher/PathText.h"

#include <algorithm>

#include "platform/PathSplit.h"

namespace tavro {

namespace {

constexpr std::wstring_view kExe = kExeExtension;

wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

std::wstring JoinPath(std::wstring_view folder, std::wstring_view fileName) {
    std::wstring path(folder);
    if (path.empty() || !IsPathSeparator(path.back())) {
        path.push_back(L'\\');
    }
    path.append(fileName);
    return path;
}

bool HasExeExtension(std::wstring_view path) {
    const std::wstring_view fileName = SplitAtLastSeparator(path).fileName;
    const std::size_t dot = fileName.rfind(L'.');
    if (dot == std::wstring_view::npos) {
        return false;
    }
    const std::wstring_view extension = fileName.substr(dot);
    // File systems fold only the ASCII letters of ".exe" here: a full-width "ＥＸＥ" is another name.
    return extension.size() == kExe.size() && std::equal(extension.begin(), extension.end(), kExe.begin(),
                                                         [](wchar_t a, wchar_t b) { return AsciiLower(a) == b; });
}

}  // namespace tavro
