#include "support/Capture.h"

#include "platform/UniqueResource.h"
#include "support/Layout.h"
#include "support/Text.h"

namespace e2e {
namespace {

// A 32-bit top-down DIB section, readable pixel by pixel.
class Canvas {
  public:
    Canvas(int width, int height) : dc_(CreateCompatibleDC(nullptr)), width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<const std::uint32_t*>(bits);
    }
    bool Valid() const { return dc_ && bitmap_ && bits_ != nullptr; }
    HDC Dc() const { return dc_.get(); }
    HGDIOBJ Bitmap() const { return bitmap_.get(); }

    void CopyTo(Pixels* out) const {
        GdiFlush();
        out->width = width_;
        out->height = height_;
        out->rgb.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
        for (std::size_t i = 0; i < out->rgb.size(); ++i) {
            const std::uint32_t value = bits_[i];
            out->rgb[i] = {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                           static_cast<std::uint8_t>(value)};
        }
    }

  private:
    tavro::UniqueMemoryDC dc_;
    tavro::UniqueBitmap bitmap_;
    const std::uint32_t* bits_ = nullptr;
    int width_;
    int height_;
};

}  // namespace

Rgb FromColorRef(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

std::string ToString(Rgb colour) {
    return "(" + std::to_string(colour.r) + ", " + std::to_string(colour.g) + ", " + std::to_string(colour.b) + ")";
}

bool CaptureClient(HWND window, Pixels* out, std::string* error) {
    RECT client = {};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) {
        *error = "the window has no client area to capture";
        return false;
    }
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return CaptureScreen(client, out, error);
}

bool CaptureScreen(const RECT& screenRect, Pixels* out, std::string* error) {
    const int width = screenRect.right - screenRect.left;
    const int height = screenRect.bottom - screenRect.top;
    Canvas canvas(width, height);
    tavro::WindowDC screen(nullptr);
    if (width <= 0 || height <= 0 || !canvas.Valid() || !screen) {
        *error = "no canvas or screen DC: " + DescribeError(GetLastError());
        return false;
    }
    {
        tavro::SelectedObject selected(canvas.Dc(), canvas.Bitmap());
        if (!BitBlt(canvas.Dc(), 0, 0, width, height, screen.get(), screenRect.left, screenRect.top, SRCCOPY)) {
            *error = "BitBlt from the screen failed: " + DescribeError(GetLastError());
            return false;
        }
    }
    canvas.CopyTo(out);
    return true;
}

bool LoadBitmapFile(const std::wstring& path, Pixels* out, std::string* error) {
    tavro::UniqueBitmap picture(static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    BITMAP info = {};
    if (!picture || GetObjectW(picture.get(), sizeof info, &info) == 0) {
        *error = "cannot load " + Utf8(path) + ": " + DescribeError(GetLastError());
        return false;
    }
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    Canvas canvas(info.bmWidth, height);
    tavro::UniqueMemoryDC source(CreateCompatibleDC(nullptr));
    if (!canvas.Valid() || !source) {
        *error = "no canvas for " + Utf8(path);
        return false;
    }
    {
        tavro::SelectedObject into(canvas.Dc(), canvas.Bitmap());
        tavro::SelectedObject from(source.get(), picture.get());
        if (!BitBlt(canvas.Dc(), 0, 0, info.bmWidth, height, source.get(), 0, 0, SRCCOPY)) {
            *error = "cannot copy " + Utf8(path) + ": " + DescribeError(GetLastError());
            return false;
        }
    }
    canvas.CopyTo(out);
    return true;
}

std::wstring ResourcePath(const std::wstring& fileName) {
    return std::wstring(layout::kRoot) + L"\\resources\\" + fileName;
}

bool RenderWith(int width, int height, Pixels* out, void (*draw)(HDC, void*), void* context) {
    Canvas canvas(width, height);
    if (!canvas.Valid()) {
        return false;
    }
    {
        tavro::SelectedObject selected(canvas.Dc(), canvas.Bitmap());
        draw(canvas.Dc(), context);
    }
    canvas.CopyTo(out);
    return true;
}

void PixelDiff::Check(int x, int y, Rgb expected, Rgb actual) {
    ++compared_;
    if (expected == actual) {
        return;
    }
    ++mismatched_;
    if (listed_ < 5) {
        first_ += (listed_ == 0 ? "" : "; ") + std::string("(") + std::to_string(x) + ", " + std::to_string(y) +
                  ") expected " + ToString(expected) + " got " + ToString(actual);
        ++listed_;
    }
}

std::string PixelDiff::Report() const {
    std::string text =
        what_ + ": " + std::to_string(mismatched_) + " of " + std::to_string(compared_) + " pixels differ";
    if (!first_.empty()) {
        text += "; first: " + first_;
    }
    return text;
}

}  // namespace e2e
