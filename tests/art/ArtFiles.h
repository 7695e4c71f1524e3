#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

// A reader for just the files the artwork uses, independent of the generator's writer.
namespace art {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    int r = 0, g = 0, b = 0;
    friend bool operator==(Rgb p, Rgb q) { return p.r == q.r && p.g == q.g && p.b == q.b; }
    friend bool operator!=(Rgb p, Rgb q) { return !(p == q); }
    friend bool operator<(Rgb p, Rgb q) { return p.r != q.r ? p.r < q.r : p.g != q.g ? p.g < q.g : p.b < q.b; }
    friend std::ostream& operator<<(std::ostream& os, Rgb c) {
        return os << '(' << c.r << ',' << c.g << ',' << c.b << ')';
    }
};

inline Bytes readResource(const std::string& name) {
    std::ifstream in(std::string(TAVRO_RESOURCES_DIR) + "/" + name, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + name);
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::uint32_t field(const Bytes& b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) {
        v = v << 8 | b.at(at + static_cast<std::size_t>(i));
    }
    return v;
}

inline std::size_t stride(std::uint32_t width, std::uint32_t bits) {
    return (width * bits + 31) / 32 * 4;
}

// Pixels of a bottom-up BI_RGB bitmap: 24-bit colours, or 8-bit indexes plus the 1-bit mask
// below them when it is an icon image (whose header counts both halves in its height).
struct Picture {
    std::uint32_t width = 0, height = 0, bits = 0;
    std::vector<Rgb> palette;
    std::vector<int> pixels;  // top row first: 0xRRGGBB, or a palette index
    std::vector<bool> clear;  // icon mask bit set: see-through
    Rgb at(int x, int y) const {
        const int v = pixels.at(static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x));
        return bits == 8 ? palette.at(static_cast<std::size_t>(v)) : Rgb{v >> 16, v >> 8 & 255, v & 255};
    }
    bool isClear(int x, int y) const {
        return clear.at(static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x));
    }
    int w() const { return static_cast<int>(width); }
    int h() const { return static_cast<int>(height); }
};

inline Picture decodeDib(const Bytes& b, std::size_t header, std::size_t bitsAt, bool icon) {
    Picture p{field(b, header + 4, 4), field(b, header + 8, 4) / (icon ? 2 : 1), field(b, header + 14, 2), {}, {}, {}};
    if (field(b, header, 4) != 40 || field(b, header + 16, 4) != 0 || p.bits != (icon ? 8u : 24u)) {
        throw std::runtime_error("not the expected BITMAPINFOHEADER, BI_RGB bitmap");
    }
    for (std::size_t i = 0; icon && i < 256; ++i) {
        const std::size_t at = header + 40 + i * 4;
        p.palette.push_back({b.at(at + 2), b.at(at + 1), b.at(at)});
    }
    const std::size_t maskAt = bitsAt + stride(p.width, p.bits) * p.height;
    p.pixels.resize(std::size_t{p.width} * p.height);
    p.clear.resize(icon ? p.pixels.size() : 0);
    for (std::size_t y = 0; y < p.height; ++y) {
        const std::size_t row = p.height - 1 - y;  // stored bottom-up
        for (std::size_t x = 0; x < p.width; ++x) {
            const std::size_t at = bitsAt + row * stride(p.width, p.bits) + x * p.bits / 8, i = y * p.width + x;
            p.pixels[i] = icon ? b.at(at) : b.at(at + 2) << 16 | b.at(at + 1) << 8 | b.at(at);
            if (icon) {
                p.clear[i] = (b.at(maskAt + row * stride(p.width, 1) + x / 8) & (0x80u >> (x % 8))) != 0;
            }
        }
    }
    return p;
}

inline Picture loadBmp(const std::string& name) {
    const Bytes b = readResource(name);
    if (field(b, 0, 2) != 0x4D42) {
        throw std::runtime_error(name + " is not a BMP file");
    }
    return decodeDib(b, 14, field(b, 10, 4), false);
}

inline Picture decodeIconImage(const Bytes& image) {
    return decodeDib(image, 0, 40 + 256 * 4, true);
}

}  // namespace art
