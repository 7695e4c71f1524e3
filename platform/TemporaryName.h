#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavro {

// Whose a temporary is: the process id, and the moment that process started, in the 100 ns units
// of a FILETIME. After a run was ended Windows soon gives its id to another program, and only the
// start time tells that program apart from the run that wrote the file.
struct TemporaryOwner {
    unsigned long processId = 0;
    std::optional<unsigned long long> started;  // missing in the names of earlier versions
};

// Name of the file a copy is written to before it is moved into place, in the destination's own
// folder: "~Tavro<process id>-<start time, 16 hex digits>.tmp". Short, so that any destination name
// a folder can hold leaves room for it.
std::wstring TemporaryFileName(unsigned long processId, unsigned long long started);

// The owner in a name TemporaryFileName gives, or in the "~Tavro<process id>.tmp" of earlier
// versions; nothing for any other name.
std::optional<TemporaryOwner> OwnerOfTemporary(std::wstring_view fileName);

// What FindFirstFileW needs to list every candidate in a folder (then checked one by one).
inline constexpr const wchar_t* kTemporaryPattern = L"~Tavro*.tmp";

}  // namespace tavro
