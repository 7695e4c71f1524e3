#pragma once

#include <cstdint>
#include <cstddef>

#include "window/Twips.h"

namespace tavro {

// The pictures are drawn for kDefaultDpi. At any other resolution the window is that window
// scaled: the twips layout grows the window and its buttons, and the pictures grow with them.

// A picture's size at dpi, rounded to the nearest pixel as the twips are.
constexpr int ScalePicturePixels(int pixels, int dpi) {
    return ScaleRounded(pixels, dpi, kDefaultDpi);
}

// Covers what lies under the rectangles in a 32-bit top-down picture with the row it sits in:
// each covered pixel takes the nearest uncovered pixel to its left. The background carries
// copies of the button faces where the buttons stand at 96 dpi; scaled, a smoothing filter would
// bleed a copy's edge past a button whose edge the twips put half a pixel further in, so the
// copies go before the picture is stretched. The background's ground runs in rows, so nothing
// else changes.
void FillUnderRects(std::uint32_t* pixels, int width, int height, const LayoutRect* rects, int count);

// Resamples a 32-bit top-down picture (four 8-bit channels a pixel) to another size with a
// bilinear filter: each pixel is a blend of the two by two source pixels around the point it maps
// to, pixel centres to pixel centres, and the picture's edge pixels continue beyond it. At the
// same size the picture comes out unchanged. A blend never leaves the range of the pixels it
// mixes, channel by channel, so no colour appears that is not there. The weights are worked out
// once a column and once a row, in 256ths; the pixels then cost two multiplies a channel pair.
void ScalePicture(const std::uint32_t* from,
                  int fromWidth,
                  int fromHeight,
                  std::uint32_t* to,
                  int toWidth,
                  int toHeight);

// Gives every pixel of colour `key` the colour `back` instead: a face's see-through colour takes
// the button colour before the face is scaled, so its edges blend into that colour, not into the
// key. Both are pixel values (0x00RRGGBB), not COLORREFs.
void ReplaceColour(std::uint32_t* pixels, std::size_t count, std::uint32_t key, std::uint32_t back);

// A COLORREF (0x00BBGGRR) as a 32-bit DIB pixel (0x00RRGGBB).
constexpr std::uint32_t PixelFromColorRef(std::uint32_t colorRef) {
    return ((colorRef & 0xFFU) << 16) | (colorRef & 0xFF00U) | ((colorRef >> 16) & 0xFFU);
}

}  // namespace tavro
