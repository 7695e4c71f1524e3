#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Artwork.h"
#include "Image.h"

namespace artgen {

using Bytes = std::vector<std::uint8_t>;

// 24-bit BI_RGB, bottom-up, rows padded to four bytes.
Bytes encodeBmp(const Image& image);

// The form the program stores its pictures in (window/PackedPicture.h): width and height, two
// bytes each, then the rows top first, blue, green and red bytes with no padding, zlib-compressed
// at the highest level.
Bytes encodePackedPicture(const Image& image);

// The icon image exactly as an RT_ICON resource holds it: BITMAPINFOHEADER (height doubled
// for the mask), palette, XOR bits, AND bits.
Bytes encodeIconImage(const IndexedIcon& icon);
// A one-image .ico file around that image.
Bytes encodeIco(const Bytes& iconImage);
// The RT_GROUP_ICON resource that names the image by resource id.
Bytes encodeIconGroup(const Bytes& iconImage, std::uint16_t iconId);

void writeFile(const std::string& path, const Bytes& bytes);

}  // namespace artgen
