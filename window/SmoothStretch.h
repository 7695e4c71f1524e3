#pragma once

#include <windows.h>

namespace tavro {

// Stretches with the smoothing filter (halftone); the brush origin is set after the mode, as halftone asks.
inline void StretchSmoothly(HDC target, const RECT& to, HDC source, int sourceWidth, int sourceHeight) {
    const int oldMode = SetStretchBltMode(target, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(target, 0, 0, &oldOrigin);
    StretchBlt(target, to.left, to.top, to.right - to.left, to.bottom - to.top, source, 0, 0, sourceWidth, sourceHeight,
               SRCCOPY);
    SetBrushOrgEx(target, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(target, oldMode);
}

}  // namespace tavro
