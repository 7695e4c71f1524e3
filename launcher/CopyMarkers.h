#pragma once

#include <string_view>

namespace tavro {

// programName without the copy markers browsers and Explorer add when a file of that name already
// exists, removed from the end again and again while one is there: " (N)" or "(N)" with one to four
// ASCII digits, " - Copy" and " - コピー". A marker anywhere but at the very end stays.
std::wstring_view WithoutCopyMarkers(std::wstring_view programName);

}  // namespace tavro
