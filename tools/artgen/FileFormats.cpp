#include "FileFormats.h"

#include <zlib.h>

#include <fstream>
#include <stdexcept>

namespace artgen {

namespace {

constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dpi

class Writer {
  public:
    explicit Writer(Bytes& out) : out_(out) {}
    void u8(unsigned v) { out_.push_back(static_cast<std::uint8_t>(v & 0xFFu)); }
    void u16(unsigned v) {
        u8(v);
        u8(v >> 8);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFFu);
        u16(v >> 16);
    }

  private:
    Bytes& out_;
};

std::uint32_t rowBytes(int width, int bitsPerPixel) {
    const auto bits = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bitsPerPixel);
    return (bits + 31u) / 32u * 4u;
}

void bitmapInfoHeader(Writer& w,
                      int width,
                      int height,
                      int bitsPerPixel,
                      std::uint32_t imageSize,
                      std::uint32_t resolution) {
    w.u32(kBitmapInfoHeaderSize);
    w.u32(static_cast<std::uint32_t>(width));
    w.u32(static_cast<std::uint32_t>(height));
    w.u16(1);  // planes
    w.u16(static_cast<unsigned>(bitsPerPixel));
    w.u32(0);  // BI_RGB
    w.u32(imageSize);
    w.u32(resolution);
    w.u32(resolution);
    w.u32(0);  // colours used: all that the bit depth allows
    w.u32(0);  // colours important: all
}

}  // namespace

Bytes encodeBmp(const Image& image) {
    const std::uint32_t stride = rowBytes(image.width(), 24);
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(image.height());
    const std::uint32_t offset = 14 + kBitmapInfoHeaderSize;
    Bytes out;
    Writer w(out);
    w.u8('B');
    w.u8('M');
    w.u32(offset + imageSize);
    w.u32(0);
    w.u32(offset);
    bitmapInfoHeader(w, image.width(), image.height(), 24, imageSize, kPixelsPerMetre);
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = image.at(x, y);
            w.u8(c.b);
            w.u8(c.g);
            w.u8(c.r);
        }
        for (auto i = static_cast<std::uint32_t>(image.width()) * 3; i < stride; ++i) {
            w.u8(0);
        }
    }
    return out;
}

Bytes encodePackedPicture(const Image& image) {
    Bytes rows;
    rows.reserve(static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()) * 3);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = image.at(x, y);
            rows.push_back(static_cast<std::uint8_t>(c.b));
            rows.push_back(static_cast<std::uint8_t>(c.g));
            rows.push_back(static_cast<std::uint8_t>(c.r));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    Bytes out;
    Writer w(out);
    w.u16(static_cast<unsigned>(image.width()));
    w.u16(static_cast<unsigned>(image.height()));
    out.resize(4 + packedSize);
    if (compress2(out.data() + 4, &packedSize, rows.data(), static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION) !=
        Z_OK) {
        throw std::runtime_error("zlib could not pack a picture");
    }
    out.resize(4 + packedSize);
    return out;
}

Bytes encodeIconImage(const IndexedIcon& icon) {
    constexpr int n = IndexedIcon::kSize;
    const std::uint32_t xorStride = rowBytes(n, 8);
    const std::uint32_t andStride = rowBytes(n, 1);
    Bytes out;
    Writer w(out);
    bitmapInfoHeader(w, n, 2 * n, 8, (xorStride + andStride) * n, 0);
    for (const Rgb& c : icon.palette) {
        w.u8(c.b);
        w.u8(c.g);
        w.u8(c.r);
        w.u8(0);
    }
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            w.u8(icon.index[icon.at(x, y)]);
        }
        for (auto i = static_cast<std::uint32_t>(n); i < xorStride; ++i) {
            w.u8(0);
        }
    }
    for (int y = n - 1; y >= 0; --y) {
        for (std::uint32_t byte = 0; byte < andStride; ++byte) {
            unsigned bits = 0;
            for (unsigned bit = 0; bit < 8; ++bit) {
                const int x = static_cast<int>(byte * 8 + bit);
                if (x < n && icon.transparent[icon.at(x, y)]) {
                    bits |= 0x80u >> bit;
                }
            }
            w.u8(bits);
        }
    }
    return out;
}

Bytes encodeIco(const Bytes& iconImage) {
    constexpr std::uint32_t kHeaderSize = 6 + 16;
    Bytes out;
    Writer w(out);
    w.u16(0);  // reserved
    w.u16(1);  // icon, not cursor
    w.u16(1);  // one image
    w.u8(IndexedIcon::kSize);
    w.u8(IndexedIcon::kSize);
    w.u8(0);  // 0 = 256 colours
    w.u8(0);
    w.u16(1);  // planes
    w.u16(8);  // bits per pixel
    w.u32(static_cast<std::uint32_t>(iconImage.size()));
    w.u32(kHeaderSize);
    out.insert(out.end(), iconImage.begin(), iconImage.end());
    return out;
}

Bytes encodeIconGroup(const Bytes& iconImage, std::uint16_t iconId) {
    Bytes out;
    Writer w(out);
    w.u16(0);
    w.u16(1);
    w.u16(1);
    w.u8(IndexedIcon::kSize);
    w.u8(IndexedIcon::kSize);
    w.u8(0);
    w.u8(0);
    w.u16(1);
    w.u16(8);
    w.u32(static_cast<std::uint32_t>(iconImage.size()));
    w.u16(iconId);
    return out;
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace artgen
