#include "window/WorkArea.h"

#include <algorithm>

namespace tavro {

namespace {

// start moved into [low, high - length], or to low where the span is too short for length.
long Fitted(long start, long length, long low, long high) {
    return std::max(low, std::min(start, high - length));
}

}  // namespace

ScreenBox PlacedOnWorkArea(const ScreenBox& window, const ScreenBox& work) {
    if (!HasArea(window) || !HasArea(work)) {
        return window;
    }
    const long width = window.right - window.left;
    const long height = window.bottom - window.top;
    const long left = Fitted(window.left, width, work.left, work.right);
    const long top = Fitted(window.top, height, work.top, work.bottom);
    return ScreenBox{left, top, left + width, top + height};
}

}  // namespace tavro
