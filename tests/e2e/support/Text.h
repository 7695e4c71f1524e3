#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace e2e {

std::string Utf8(std::wstring_view text);
std::wstring Wide(std::string_view utf8);

// The lines of a file the driver's helpers wrote, each ended by '\n'. A last line without its
// '\n' is still returned; *unfinished (when given) says whether there was one.
std::vector<std::string_view> SplitLines(std::string_view bytes, bool* unfinished = nullptr);

// Win32 error code with its system message, for failure output.
std::string DescribeError(unsigned long code);

}  // namespace e2e
