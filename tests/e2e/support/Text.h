#pragma once

#include <string>
#include <string_view>

namespace e2e {

std::string Utf8(std::wstring_view text);
std::wstring Wide(std::string_view utf8);

// Win32 error code with its system message, for failure output.
std::string DescribeError(unsigned long code);

}  // namespace e2e
