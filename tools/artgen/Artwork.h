#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "Image.h"

namespace artgen {

// The program icon as the .ico holds it: 256-colour palette, one index per pixel, and the
// AND mask (true = transparent). Rows run top to bottom here.
struct IndexedIcon {
    static constexpr int kSize = 32;
    std::array<Rgb, 256> palette{};
    std::vector<std::uint8_t> index;
    std::vector<bool> transparent;

    std::size_t at(int x, int y) const { return static_cast<std::size_t>(y * kSize + x); }
    Rgb colour(int x, int y) const { return palette[index[at(x, y)]]; }
};

IndexedIcon drawIcon();
Image drawLogo();
Image drawOrderFace();
Image drawCopyFace(const IndexedIcon& icon);
Image drawCloseFace();

// The pressed faces: the normal face at half brightness.
Image halfBrightness(const Image& face);
// The copy face goes a little deeper in its blues (see Faces.cpp).
Image pressedCopyFace(const Image& face);

struct BackgroundParts {
    const Image& copyFace;
    const Image& orderFace;
    const Image& closeFace;
    const Image& logo;
};
Image drawBackground(const BackgroundParts& parts);

}  // namespace artgen
