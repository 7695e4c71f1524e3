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

// The picture's pixels, whatever its own format, as GDI converts them.
bool ReadPixels(HBITMAP picture, Pixels* pixels) {
    BITMAP info{};
    if (GetObjectW(picture, sizeof(info), &info) == 0) {
        return false;
    }
    pixels->width = info.bmWidth;
    pixels->height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    pixels->rgb.assign(static_cast<std::size_t>(pixels->width) * static_cast<std::size_t>(pixels->height), 0);
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
