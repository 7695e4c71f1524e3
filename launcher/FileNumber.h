#pragma once

#include <string>
#include <string_view>

namespace tavro {

// The ASCII digits of everything after the first "_" of programName (of the whole name when
// it has no "_"), in order, once the copy markers at its end are gone (WithoutCopyMarkers);
// every other character is dropped. Empty when there are none.
std::wstring FileNumberFromProgramName(std::wstring_view programName);

}  // namespace tavro
