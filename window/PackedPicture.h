#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tavro {

// The program's pictures as the file stores them: a picture's width and height (two bytes each,
// least significant first), then its pixels as a zlib stream of rows, top row first, three bytes
// a pixel (blue, green, red) with no padding. The art generator (tools/artgen) writes them beside
// the bitmaps it draws, and the art tests check that each unpacks to its bitmap, pixel for pixel.

struct PictureSize {
    int width;
    int height;
};

// The largest side a packed picture may have: far more than any of the program's, little enough
// that width * height * 4 cannot overflow.
inline constexpr int kMaxPackedSide = 4096;

// The picture's size, or nothing when data does not start as a packed picture does.
std::optional<PictureSize> PackedPictureSize(const std::uint8_t* data, std::size_t size);

// Unpacks the picture into pixels, which holds width * height of them: 32-bit, top row first,
// 0x00RRGGBB, as a top-down 32-bit DIB section holds them. False when the data is not a whole,
// intact packed picture of that size.
bool UnpackPicture(const std::uint8_t* data, std::size_t size, std::uint32_t* pixels, std::size_t pixelCount);

}  // namespace tavro
