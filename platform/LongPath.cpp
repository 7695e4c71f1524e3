#include "platform/LongPath.h"

#include <algorithm>
#include <string_view>

#include "platform/PathSplit.h"
#include "platform/Platform.h"

namespace tavro {

namespace {

constexpr std::wstring_view kExtended = L"\\\\?\\";
constexpr std::wstring_view kExtendedShare = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevice = L"\\\\.\\";

bool StartsWith(const std::wstring& text, std::wstring_view start) {
    return text.size() >= start.size() && std::wstring_view(text).substr(0, start.size()) == start;
}

bool IsDriveAbsolute(const std::wstring& path) {
    const wchar_t drive = path.size() >= 3 ? path[0] : L'\0';
    return ((drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z')) && path[1] == L':' &&
           IsPathSeparator(path[2]);
}

}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& path) {
    if (path.size() < kMaxPath || StartsWith(path, kExtended) || StartsWith(path, kDevice)) {
        return path;
    }
    std::wstring backslashed = path;
    std::replace(backslashed.begin(), backslashed.end(), L'/', L'\\');
    if (IsDriveAbsolute(backslashed)) {
        return std::wstring(kExtended) + backslashed;
    }
    if (backslashed.size() > 2 && backslashed[0] == L'\\' && backslashed[1] == L'\\') {
        return std::wstring(kExtendedShare) + backslashed.substr(2);
    }
    return path;
}

std::optional<CopyPaths> PathsForCopy(const std::wstring& destination, const std::wstring& temporaryName) {
    const std::wstring_view folder = SplitAtLastSeparator(destination).folder;
    if (folder.empty()) {
        return std::nullopt;
    }
    CopyPaths paths;
    paths.folder.assign(folder);
    // Each joined path is judged on its own length: the temporary's name may be longer than the
    // destination's.
    paths.temporary = ExtendedLengthPath(paths.folder + temporaryName);
    paths.destination = ExtendedLengthPath(destination);
    return paths;
}

}  // namespace tavro
