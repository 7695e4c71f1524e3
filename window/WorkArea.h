#pragma once

#include "window/Twips.h"

namespace tavro {

// Windows' own range of display scales: 100 % to 500 %. A DPI message outside it comes from no
// monitor (another program sent it), and laying the window out for it would overflow the sizes or
// take the memory of a picture thousands of pixels wide.
inline constexpr unsigned long long kLowestDpi = kDefaultDpi;
inline constexpr unsigned long long kHighestDpi = 480;

constexpr bool IsDpiOfAMonitor(unsigned long long dpi) {
    return dpi >= kLowestDpi && dpi <= kHighestDpi;
}

// A rectangle in screen pixels, as RECT has it (right and bottom outside), without the Windows headers.
struct ScreenBox {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
};

constexpr bool HasArea(const ScreenBox& box) {
    return box.right > box.left && box.bottom > box.top;
}

// window moved, its size kept, so that it lies wholly on work where it fits, and otherwise with its
// top left corner (the caption, the window menu) on work: a window larger than the screen can
// still be moved by its caption. work must have an area; a window without one stays as it is.
ScreenBox PlacedOnWorkArea(const ScreenBox& window, const ScreenBox& work);

}  // namespace tavro
