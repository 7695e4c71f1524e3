#include "window/ScaledPictures.h"

#include <cstdint>
#include <vector>

#include "window/PictureResource.h"

namespace tavro {

namespace {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;  // 0x00RRGGBB, top row first
};

// The picture's pixels, read straight from its DIB section. Every picture of the program is one
// that CreatePictureSection made (window/PictureResource.h): 32 bits a pixel, top row first, rows
// with no padding. (Wine reports such a section's height as positive, as it does a
// bottom-up one's, so the layout is known from where the section came from, not read back.)
bool ReadPixels(HBITMAP picture, Pixels* pixels) {
    DIBSECTION section{};
    if (GetObjectW(picture, sizeof(section), &section) != static_cast<int>(sizeof(section)) ||
        section.dsBm.bmBits == nullptr || section.dsBmih.biBitCount != 32) {
        return false;
    }
    pixels->width = section.dsBm.bmWidth;
    pixels->height = section.dsBm.bmHeight < 0 ? -section.dsBm.bmHeight : section.dsBm.bmHeight;
    const auto* const bits = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
    // As the documentation asks before reading a section's bits that GDI may have drawn into.
    GdiFlush();
    pixels->rgb.assign(bits, bits + static_cast<std::size_t>(pixels->width) * static_cast<std::size_t>(pixels->height));
    return true;
}

// The pixels scaled to dpi, in a new DIB section.
UniqueBitmap ScaledSection(const Pixels& pixels, int dpi) {
    const int width = ScalePicturePixels(pixels.width, dpi);
    const int height = ScalePicturePixels(pixels.height, dpi);
    std::uint32_t* bits = nullptr;
    UniqueBitmap section = CreatePictureSection(width, height, &bits);
    if (!section) {
        return UniqueBitmap();
    }
    // GDI has not drawn into the new section, so its bits need no GdiFlush before they are written.
    ScalePicture(pixels.rgb.data(), pixels.width, pixels.height, bits, width, height);
    return section;
}

}  // namespace

UniqueBitmap ScaleBackgroundPicture(HBITMAP background, int dpi, const LayoutRect* under, int count) {
    Pixels pixels;
    if (!ReadPixels(background, &pixels)) {
        return UniqueBitmap();
    }
    FillUnderRects(pixels.rgb.data(), pixels.width, pixels.height, under, count);
    return ScaledSection(pixels, dpi);
}

UniqueBitmap ScaleFacePicture(HBITMAP face, int dpi, const std::optional<COLORREF>& transparent, COLORREF back) {
    Pixels pixels;
    if (!ReadPixels(face, &pixels)) {
        return UniqueBitmap();
    }
    if (transparent) {
        ReplaceColour(pixels.rgb.data(), pixels.rgb.size(), PixelFromColorRef(*transparent), PixelFromColorRef(back));
    }
    return ScaledSection(pixels, dpi);
}

}  // namespace tavro
