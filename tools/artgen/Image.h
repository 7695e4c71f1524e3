#pragma once

#include <cstdint>
#include <vector>

namespace artgen {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
    friend bool operator!=(Rgb a, Rgb b) { return !(a == b); }
    friend bool operator<(Rgb a, Rgb b) { return a.r != b.r ? a.r < b.r : a.g != b.g ? a.g < b.g : a.b < b.b; }
};

constexpr Rgb kWhite{255, 255, 255};

// 8-bit coverage, as a rasteriser leaves it: 255 is fully inside.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;

    Mask() = default;
    Mask(int w, int h);
    std::uint8_t at(int x, int y) const { return coverage[index(x, y)]; }
    std::uint8_t& at(int x, int y) { return coverage[index(x, y)]; }
    // The smallest mask holding every covered pixel; origin receives the offset of the crop.
    Mask cropped(int& originX, int& originY) const;
    // Grown by one pixel all round (each pixel takes the most coverage of its 3 × 3 block).
    Mask dilated() const;

  private:
    std::size_t index(int x, int y) const;
};

class Image {
  public:
    Image() = default;
    Image(int w, int h, Rgb fill);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, Rgb c) { pixels_[index(x, y)] = c; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Paints colour through the mask placed at (x, y); full coverage gives the colour exactly.
    void paint(const Mask& mask, int x, int y, Rgb colour);
    // Like paint, but only on rows [top, bottom).
    void paintRows(const Mask& mask, int x, int y, Rgb colour, int top, int bottom);
    void fillRect(int x, int y, int w, int h, Rgb colour);
    void paste(const Image& src, int x, int y);

  private:
    std::size_t index(int x, int y) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
};

}  // namespace artgen
