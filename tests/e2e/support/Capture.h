#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Pixels as the user sees them, and the committed pictures to compare them with.
namespace e2e {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};
Rgb FromColorRef(COLORREF colour);
std::string ToString(Rgb colour);

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<Rgb> rgb;  // row by row, top row first

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Rgb At(int x, int y) const {
        return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
};

// What the screen shows over the window's client area, or over a rectangle of it, right now.
bool CaptureClient(HWND window, Pixels* out, std::string* error);
bool CaptureScreen(const RECT& screenRect, Pixels* out, std::string* error);
// A .bmp file decoded by the system (LoadImageW), as the program itself would load it.
bool LoadBitmapFile(const std::wstring& path, Pixels* out, std::string* error);
// C:\tavro-e2e\resources\<fileName>: the committed pictures, copied into every prefix.
std::wstring ResourcePath(const std::wstring& fileName);

// Draws into a fresh width x height canvas with this process's GDI, e.g. a reference frame.
template <typename Draw>
bool RenderLocally(int width, int height, Pixels* out, Draw draw);
bool RenderWith(int width, int height, Pixels* out, void (*draw)(HDC, void*), void* context);

// Counts and describes pixels where actual differs from expected over a set of points.
class PixelDiff {
  public:
    explicit PixelDiff(std::string what) : what_(std::move(what)) {}
    void Check(int x, int y, Rgb expected, Rgb actual);
    int Compared() const { return compared_; }
    int Mismatched() const { return mismatched_; }
    // "what: N of M pixels differ; first: (x, y) expected (r, g, b) got (r, g, b); ..."
    std::string Report() const;

  private:
    std::string what_;
    int compared_ = 0;
    int mismatched_ = 0;
    std::string first_;
    int listed_ = 0;
};

}  // namespace e2e

namespace e2e {

template <typename Draw>
bool RenderLocally(int width, int height, Pixels* out, Draw draw) {
    return RenderWith(
        width, height, out, [](HDC dc, void* context) { (*static_cast<Draw*>(context))(dc); }, &draw);
}

}  // namespace e2e
