#include "Image.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>

namespace artgen {

namespace {

std::uint8_t blend(std::uint8_t over, std::uint8_t under, unsigned alpha) {
    return static_cast<std::uint8_t>((over * alpha + under * (255u - alpha) + 127u) / 255u);
}

}  // namespace

Mask::Mask(int w, int h) : width(w), height(h), coverage(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {}

std::size_t Mask::index(int x, int y) const {
    assert(x >= 0 && y >= 0 && x < width && y < height);
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

Mask Mask::cropped(int& originX, int& originY) const {
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (at(x, y) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        throw std::runtime_error("nothing was drawn into the mask");
    }
    Mask out(right - left + 1, bottom - top + 1);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            out.at(x, y) = at(left + x, top + y);
        }
    }
    originX = left;
    originY = top;
    return out;
}

Mask Mask::dilated() const {
    Mask out(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t most = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int sx = x + dx, sy = y + dy;
                    if (sx >= 0 && sy >= 0 && sx < width && sy < height) {
                        most = std::max(most, at(sx, sy));
                    }
                }
            }
            out.at(x, y) = most;
        }
    }
    return out;
}

Image::Image(int w, int h, Rgb fill)
    : width_(w), height_(h), pixels_(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

std::size_t Image::index(int x, int y) const {
    assert(contains(x, y));
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
}

void Image::paint(const Mask& mask, int x, int y, Rgb colour) {
    paintRows(mask, x, y, colour, 0, height_);
}

void Image::paintRows(const Mask& mask, int x, int y, Rgb colour, int top, int bottom) {
    for (int my = 0; my < mask.height; ++my) {
        const int ty = y + my;
        if (ty < top || ty >= bottom) {
            continue;
        }
        for (int mx = 0; mx < mask.width; ++mx) {
            const unsigned a = mask.at(mx, my);
            if (a == 0 || !contains(x + mx, ty)) {
                continue;
            }
            const Rgb under = at(x + mx, ty);
            set(x + mx, ty, {blend(colour.r, under.r, a), blend(colour.g, under.g, a), blend(colour.b, under.b, a)});
        }
    }
}

void Image::fillRect(int x, int y, int w, int h, Rgb colour) {
    for (int ty = y; ty < y + h; ++ty) {
        for (int tx = x; tx < x + w; ++tx) {
            if (contains(tx, ty)) {
                set(tx, ty, colour);
            }
        }
    }
}

void Image::paste(const Image& src, int x, int y) {
    if (!contains(x, y) || !contains(x + src.width() - 1, y + src.height() - 1)) {
        throw std::runtime_error("pasted picture does not fit");
    }
    for (int sy = 0; sy < src.height(); ++sy) {
        for (int sx = 0; sx < src.width(); ++sx) {
            set(x + sx, y + sy, src.at(sx, sy));
        }
    }
}

}  // namespace artgen
