#pragma once

#include <optional>
#include <string>

namespace tavro {

// path as the file calls take it whatever its length: unchanged below MAX_PATH (260 characters,
// the terminator included), else in the extended-length form that lifts the limit to 32,767
// characters, "\\?\C:\..." for a drive and "\\?\UNC\server\share\..." for a share. That form is
// passed to the file system as it is, with no clean-up of the path, so forward slashes become
// backslashes here. A path already in that form, a device path ("\\.\") and one that is not
// absolute stay as they are.
std::wstring ExtendedLengthPath(const std::wstring& path);

// The paths a copy to destination uses, each in the form the file calls take (ExtendedLengthPath).
struct CopyPaths {
    std::wstring folder;       // the destination's folder, ending in its separator, as given
    std::wstring temporary;    // the copy's temporary in that folder
    std::wstring destination;  // the destination itself
};

// temporaryName is the temporary's file name (TemporaryFileName). Nothing when destination names
// no folder.
std::optional<CopyPaths> PathsForCopy(const std::wstring& destination, const std::wstring& temporaryName);

}  // namespace tavro
