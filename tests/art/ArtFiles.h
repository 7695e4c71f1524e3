#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// A reader for exactly the files the artwork uses, independent of the generator's writer.
namespace art {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    int r = 0, g = 0, b = 0;
    friend bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
    friend bool operator!=(Rgb a, Rgb b) { return !(a == b); }
    friend bool operator<(Rgb a, Rgb b) { return a.r != b.r ? a.r < b.r : a.g != b.g ? a.g < b.g : a.b < b.b; }
    friend std::ostream& operator<<(std::ostream& os, Rgb c) {
        return os << '(' << c.r << ',' << c.g << ',' << c.b << ')';
    }
};

struct BitmapInfo {
    std::uint32_t headerSize, compression, imageSize;
    std::int32_t width, height;
    int planes, bitsPerPixel;
};

struct Picture {
    std::uint32_t fileSizeField = 0, pixelOffset = 0;
    BitmapInfo info{};
    std::vector<Rgb> pixels;  // top row first
    int width() const { return info.width; }
    int height() const { return info.height; }
    Rgb at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * info.width + x)); }
};

struct IconImage {
    BitmapInfo info{};
    std::vector<Rgb> palette;
    std::vector<int> index;         // top row first
    std::vector<bool> transparent;  // AND mask bit set
    Rgb colour(int x, int y) const { return palette.at(static_cast<std::size_t>(index.at(at(x, y)))); }
    bool clear(int x, int y) const { return transparent.at(at(x, y)); }
    std::size_t at(int x, int y) const { return static_cast<std::size_t>(y * info.width + x); }
};

std::string resourcePath(const std::string& name);
Bytes readFile(const std::string& path);
unsigned u16(const Bytes& b, std::size_t at);
std::uint32_t u32(const Bytes& b, std::size_t at);

// Throws on anything but an uncompressed, bottom-up 24-bit BMP.
Picture decodeBmp(const Bytes& file);
// An 8-bit icon image with its AND mask, as it sits in an .ico or an RT_ICON resource.
IconImage decodeIconImage(const Bytes& image);

}  // namespace art
