#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavro {

// Name of the file a copy is written to before it is moved into place, in the destination's own
// folder: "~Tavro<process id>.tmp". Short, so that any destination name a folder can hold leaves
// room for it; the process id tells whose it is.
std::wstring TemporaryFileName(unsigned long processId);

// The process id in a name TemporaryFileName gives; nothing for any other name.
std::optional<unsigned long> ProcessIdOfTemporary(std::wstring_view fileName);

// What FindFirstFileW needs to list every candidate in a folder (then checked one by one).
inline constexpr const wchar_t* kTemporaryPattern = L"~Tavro*.tmp";

}  // namespace tavro
