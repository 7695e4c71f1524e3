#include <algorithm>
#include <map>
#include <stdexcept>
#include <utility>

#include "Artwork.h"
#include "Raster.h"
#include "Shapes.h"

namespace artgen {

namespace {

constexpr int kN = IndexedIcon::kSize;
constexpr int kSquareRows = 23;  // the blue square; the word sits in the rows below it
constexpr Rgb kBlue{27, 102, 244};
constexpr Rgb kSilver{219, 220, 221};

struct RgbaArt {
    Image colour{kN, kN, {0, 0, 0}};
    std::vector<bool> clear = std::vector<bool>(kN * kN, true);

    void setOpaque(int x, int y, Rgb c) {
        colour.set(x, y, c);
        clear[static_cast<std::size_t>(y * kN + x)] = false;
    }
};

// The camera is drawn upright around the origin, then turned so its lens rises to the right.
Mask cameraPart(const std::function<void(cairo_t*)>& shape) {
    return rasterise(kN, kN, [&](cairo_t* cr) {
        cairo_translate(cr, 16.0, 11.5);
        cairo_rotate(cr, -0.36);
        shape(cr);
        cairo_fill(cr);
    });
}

void drawCamera(Image& art) {
    constexpr double kTurn = 6.283185307179586;
    const Mask rim = cameraPart([](cairo_t* cr) { roundedRectPath(cr, -11.6, -6.1, 23.2, 13.7, 3.2); });
    const Mask body = cameraPart([](cairo_t* cr) { roundedRectPath(cr, -10.6, -5.1, 21.2, 11.7, 2.4); });
    const Mask shutter = cameraPart([](cairo_t* cr) { roundedRectPath(cr, -8.5, -8.0, 5.0, 3.0, 1.0); });
    const Mask flash = cameraPart([](cairo_t* cr) { cairo_rectangle(cr, -8.8, -3.6, 4.6, 3.0); });
    const Mask lensRing = cameraPart([](cairo_t* cr) { cairo_arc(cr, 4.4, 0.6, 5.3, 0, kTurn); });
    const Mask lensBarrel = cameraPart([](cairo_t* cr) { cairo_arc(cr, 4.4, 0.6, 4.1, 0, kTurn); });
    const Mask glass = cameraPart([](cairo_t* cr) { cairo_arc(cr, 4.4, 0.6, 2.8, 0, kTurn); });
    const Mask glint = cameraPart([](cairo_t* cr) { cairo_arc(cr, 3.3, -0.5, 1.0, 0, kTurn); });

    art.paint(shutter, 0, 0, {120, 124, 132});
    art.paint(rim, 0, 0, {96, 100, 110});
    art.paint(body, 0, 0, kSilver);
    art.paint(flash, 0, 0, {255, 250, 222});
    art.paint(lensRing, 0, 0, {84, 88, 98});
    art.paint(lensBarrel, 0, 0, {176, 180, 188});
    art.paint(glass, 0, 0, {18, 28, 60});
    art.paint(glint, 0, 0, {180, 210, 255});
}

void drawWord(RgbaArt& art) {
    const Rgb colours[] = {{255, 204, 0}, {0, 153, 255}, {255, 51, 102}, {255, 204, 0}, {0, 153, 255}};
    for (double px = 12.0;; px -= 0.25) {
        const std::vector<Mask> letters = letterMasks("Tavro", {true, px}, 0.35, 0.8);
        const Mask& first = letters.front();
        if (first.width > kN - 1 || first.height > kN - kSquareRows - 1) {
            continue;
        }
        const int left = (kN - first.width) / 2;
        const int top = kN - first.height;
        for (std::size_t i = 0; i < letters.size(); ++i) {
            for (int y = 0; y < first.height; ++y) {
                for (int x = 0; x < first.width; ++x) {
                    // The mask is one bit, so an edge pixel is either letter or see-through.
                    if (letters[i].at(x, y) >= 112) {
                        art.setOpaque(left + x, top + y, colours[i]);
                    }
                }
            }
        }
        return;
    }
}

int distance(Rgb a, Rgb b) {
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

// Index 0 is black, which the transparent pixels carry as Windows expects under a set mask bit.
// The picture has far fewer than 256 colours; should it ever have more, the rarest are mapped
// to their nearest neighbour.
IndexedIcon quantise(const RgbaArt& art) {
    std::map<Rgb, int> counts;
    for (int y = 0; y < kN; ++y) {
        for (int x = 0; x < kN; ++x) {
            if (!art.clear[static_cast<std::size_t>(y * kN + x)]) {
                ++counts[art.colour.at(x, y)];
            }
        }
    }
    std::vector<std::pair<Rgb, int>> byUse(counts.begin(), counts.end());
    std::stable_sort(byUse.begin(), byUse.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<Rgb> kept{{0, 0, 0}};
    for (const auto& entry : byUse) {
        if (kept.size() < 256 && entry.first != Rgb{0, 0, 0}) {
            kept.push_back(entry.first);
        }
    }
    std::sort(kept.begin() + 1, kept.end());

    IndexedIcon icon;
    std::copy(kept.begin(), kept.end(), icon.palette.begin());
    icon.index.assign(kN * kN, 0);
    icon.transparent = art.clear;
    for (int y = 0; y < kN; ++y) {
        for (int x = 0; x < kN; ++x) {
            if (icon.transparent[icon.at(x, y)]) {
                continue;
            }
            const Rgb c = art.colour.at(x, y);
            std::size_t best = 0;
            for (std::size_t i = 1; i < kept.size(); ++i) {
                if (distance(kept[i], c) < distance(kept[best], c)) {
                    best = i;
                }
            }
            icon.index[icon.at(x, y)] = static_cast<std::uint8_t>(best);
        }
    }
    return icon;
}

}  // namespace

IndexedIcon drawIcon() {
    RgbaArt art;
    for (int y = 0; y < kSquareRows; ++y) {
        for (int x = 0; x < kN; ++x) {
            art.setOpaque(x, y, kBlue);
        }
    }
    drawCamera(art.colour);
    // Rounded top corners of the square: the see-through pixels along the top edge.
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {kN - 1, 0}, {kN - 2, 0}, {kN - 1, 1}}) {
        art.colour.set(x, y, {0, 0, 0});
        art.clear[static_cast<std::size_t>(y * kN + x)] = true;
    }
    drawWord(art);
    return quantise(art);
}

}  // namespace artgen
