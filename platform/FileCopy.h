#pragma once

#include <string>

namespace tavro {

// Copies source onto destination, replacing a file already there. The copy is written beside the
// destination under a temporary name and only then moved into place, so a failed copy never leaves
// a truncated file under the destination's name. Copying a file onto itself fails.
bool CopyFileThroughTemporary(const std::wstring& source, const std::wstring& destination);

}  // namespace tavro
