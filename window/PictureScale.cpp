#include "window/PictureScale.h"

#include <cstddef>

namespace tavro {

namespace {

bool Covers(const PixelRect& r, int x, int y) {
    return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
}

}  // namespace

void FillUnderRects(std::uint32_t* pixels, int width, int height, const PixelRect* rects, int count) {
    for (int y = 0; y < height; ++y) {
        std::uint32_t* const row = pixels + static_cast<std::ptrdiff_t>(y) * width;
        bool haveLeft = false;
        std::uint32_t left = 0;
        for (int x = 0; x < width; ++x) {
            bool covered = false;
            for (int i = 0; i < count && !covered; ++i) {
                covered = Covers(rects[i], x, y);
            }
            if (!covered) {
                left = row[x];
                haveLeft = true;
            } else if (haveLeft) {
                row[x] = left;
            }
        }
    }
}

}  // namespace tavro
