#pragma once

#include <cstdint>

#include "window/Twips.h"

namespace tavro {

// The pictures are drawn for 96 dpi. At any other resolution the window is the 96 dpi window
// scaled: the twips layout grows the window and its buttons, and the pictures grow with them.
inline constexpr int kPictureDpi = 96;

// A picture's size at dpi, rounded to the nearest pixel (halves up), as MulDiv rounds.
constexpr int ScalePicturePixels(int pixels, int dpi) {
    const long long scaled = static_cast<long long>(pixels) * dpi;
    return static_cast<int>((scaled + kPictureDpi / 2) / kPictureDpi);
}

struct PixelRect {
    int left;
    int top;
    int width;
    int height;
};

constexpr PixelRect TwipsToPixels(const TwipRect& twips, int dpi) {
    return {TwipsToPixels(twips.left, dpi), TwipsToPixels(twips.top, dpi), TwipsToPixels(twips.width, dpi),
            TwipsToPixels(twips.height, dpi)};
}

// Covers what lies under the rectangles in a 32-bit top-down picture with the row it sits in:
// each covered pixel takes the nearest uncovered pixel to its left. The background carries
// copies of the button faces where the buttons stand at 96 dpi; scaled, a smoothing filter would
// bleed a copy's edge past a button whose edge the twips put half a pixel further in, so the
// copies go before the picture is stretched. The background's ground runs in rows, so nothing
// else changes.
void FillUnderRects(std::uint32_t* pixels, int width, int height, const PixelRect* rects, int count);

}  // namespace tavro
