#include "window/ScaledPictures.h"

#include <cstdint>
#include <vector>

namespace tavro {

namespace {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;  // 0x00RRGGBB, top row first
};

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

// The picture's pixels: read straight from the DIB section LoadImageW made where it holds 24 or
// 32 bits a pixel, as the program's pictures do, and converted by GDI otherwise.
bool ReadPixels(HBITMAP picture, Pixels* pixels) {
    DIBSECTION section{};
    const int size = GetObjectW(picture, sizeof(section), &section);
    if (size == 0) {
        return false;
    }
    pixels->width = section.dsBm.bmWidth;
    pixels->height = section.dsBm.bmHeight < 0 ? -section.dsBm.bmHeight : section.dsBm.bmHeight;
    pixels->rgb.assign(static_cast<std::size_t>(pixels->width) * static_cast<std::size_t>(pixels->height), 0);
    const BITMAPINFOHEADER& header = section.dsBmih;
    if (size == static_cast<int>(sizeof(section)) && section.dsBm.bmBits != nullptr && header.biCompression == BI_RGB &&
        (header.biBitCount == 24 || header.biBitCount == 32)) {
        // As the documentation asks before reading a section's bits that GDI may have drawn into.
        GdiFlush();
        PixelsFromRows(static_cast<const std::uint8_t*>(section.dsBm.bmBits), pixels->width, pixels->height,
                       header.biBitCount, header.biHeight > 0, pixels->rgb.data());
        return true;
    }
    BITMAPINFO format = TopDown32(pixels->width, pixels->height);
    const WindowDC screen(nullptr);
    const int rows = GetDIBits(screen.get(), picture, 0, static_cast<UINT>(pixels->height), pixels->rgb.data(), &format,
                               DIB_RGB_COLORS);
    return rows == pixels->height;
}

// The pixels scaled to dpi, in a new DIB section.
UniqueBitmap ScaledSection(const Pixels& pixels, int dpi) {
    const int width = ScalePicturePixels(pixels.width, dpi);
    const int height = ScalePicturePixels(pixels.height, dpi);
    const BITMAPINFO format = TopDown32(width, height);
    void* bits = nullptr;
    UniqueBitmap section(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || bits == nullptr) {
        return UniqueBitmap();
    }
    // GDI has not drawn into the new section, so its bits need no GdiFlush before they are written.
    ScalePicture(pixels.rgb.data(), pixels.width, pixels.height, static_cast<std::uint32_t*>(bits), width, height);
    return section;
}

}  // namespace

UniqueBitmap ScaleBackgroundPicture(HBITMAP background, int dpi, const PixelRect* under, int count) {
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
