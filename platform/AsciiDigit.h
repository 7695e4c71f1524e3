#pragma once

namespace tavro {

// Only U+0030..U+0039: the numbers in the program's file names are written in ASCII, and a
// full-width or other Unicode digit is never one of them.
constexpr bool IsAsciiDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

}  // namespace tavro
