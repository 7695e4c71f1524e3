#pragma once

namespace tavro {

// The window is laid out in twips, so that it keeps its physical size at any screen resolution.
inline constexpr int kTwipsPerInch = 1440;

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

// Rounds to the nearest pixel, as MulDiv does; 15 twips make one pixel at 96 dpi.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>((scaled + kTwipsPerInch / 2) / kTwipsPerInch);
}

}  // namespace tavro
