#pragma once

#include <string>
#include <string_view>

namespace tavro {

// A program file's extension: the desktop copy's name ends in it, and HasExeExtension looks for it.
inline constexpr const wchar_t* kExeExtension = L".exe";

// folder and fileName with one separator between them, or none when folder already ends in one
// (a drive root, "C:\"). Wine rejects a doubled separator after a share root ("\\srv\share\\x").
std::wstring JoinPath(std::wstring_view folder, std::wstring_view fileName);

// True when the file name at the end of path has the extension ".exe", in any letter case.
bool HasExeExtension(std::wstring_view path);

}  // namespace tavro
