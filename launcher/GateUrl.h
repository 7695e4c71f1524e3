#pragma once

#include <string>
#include <string_view>

namespace tavro {

// Fixed prefix of every launch URL; the file number goes straight after its final "=".
std::wstring GateUrl();

// GateUrl() followed by fileNumber, unescaped (a file number holds only ASCII digits).
std::wstring LaunchUrl(std::wstring_view fileNumber);

}  // namespace tavro
