#pragma once

#include <string>

#include "platform/Platform.h"

namespace tavro {

// The current user's desktop folder exactly as the system reports it, or "" when it has none.
std::wstring GetDesktopPath(Platform& platform);

// Copies source onto destination, replacing a file already there. True only when the copy landed.
bool CopyFileOverwrite(Platform& platform, const std::wstring& source, const std::wstring& destination);

}  // namespace tavro
