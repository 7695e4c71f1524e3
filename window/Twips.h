#pragma once

namespace tavro {

// The window is laid out in twips, so that it keeps its physical size at any screen resolution.
inline constexpr int kTwipsPerInch = 1440;
// The resolution of a 100 % display scale: the one the pictures are drawn for, where 15 twips make
// one pixel, and the one Windows gives where it cannot tell.
inline constexpr int kDefaultDpi = 96;

// A rectangle by its top left corner and its size: in twips in the layout, in pixels on screen.
struct LayoutRect {
    int left;
    int top;
    int width;
    int height;
};

// value * to / from, rounded to the nearest whole number (halves up), as MulDiv rounds; for
// non-negative values, with no overflow for any int value and resolution.
constexpr int ScaleRounded(int value, int to, int from) {
    const long long scaled = static_cast<long long>(value) * to;
    return static_cast<int>((scaled + from / 2) / from);
}

constexpr int TwipsToPixels(int twips, int dpi) {
    return ScaleRounded(twips, dpi, kTwipsPerInch);
}

constexpr LayoutRect TwipsToPixels(const LayoutRect& twips, int dpi) {
    return {TwipsToPixels(twips.left, dpi), TwipsToPixels(twips.top, dpi), TwipsToPixels(twips.width, dpi),
            TwipsToPixels(twips.height, dpi)};
}

}  // namespace tavro
