#include "ArtFiles.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace art {

std::string resourcePath(const std::string& name) {
    return std::string(TAVRO_RESOURCES_DIR) + "/" + name;
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + path);
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

unsigned u16(const Bytes& b, std::size_t at) {
    return static_cast<unsigned>(b.at(at) | b.at(at + 1) << 8);
}

std::uint32_t u32(const Bytes& b, std::size_t at) {
    return u16(b, at) | static_cast<std::uint32_t>(u16(b, at + 2)) << 16;
}

namespace {

BitmapInfo readInfo(const Bytes& b, std::size_t at) {
    return {u32(b, at),
            u32(b, at + 16),
            u32(b, at + 20),
            static_cast<std::int32_t>(u32(b, at + 4)),
            static_cast<std::int32_t>(u32(b, at + 8)),
            static_cast<int>(u16(b, at + 12)),
            static_cast<int>(u16(b, at + 14))};
}

std::size_t stride(int width, int bits) {
    return static_cast<std::size_t>((width * bits + 31) / 32 * 4);
}

}  // namespace

Picture decodeBmp(const Bytes& file) {
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') {
        throw std::runtime_error("not a BMP file");
    }
    Picture p;
    p.fileSizeField = u32(file, 2);
    p.pixelOffset = u32(file, 10);
    p.info = readInfo(file, 14);
    if (p.info.headerSize != 40 || p.info.bitsPerPixel != 24 || p.info.compression != 0 || p.info.height <= 0) {
        throw std::runtime_error("not a bottom-up 24-bit BI_RGB bitmap");
    }
    const std::size_t rowBytes = stride(p.info.width, 24);
    if (file.size() < p.pixelOffset + rowBytes * static_cast<std::size_t>(p.info.height)) {
        throw std::runtime_error("BMP pixel data is cut short");
    }
    for (int y = 0; y < p.info.height; ++y) {
        const std::size_t row = p.pixelOffset + rowBytes * static_cast<std::size_t>(p.info.height - 1 - y);
        for (int x = 0; x < p.info.width; ++x) {
            const std::size_t at = row + static_cast<std::size_t>(x) * 3;
            p.pixels.push_back({file[at + 2], file[at + 1], file[at]});
        }
    }
    return p;
}

IconImage decodeIconImage(const Bytes& image) {
    IconImage icon;
    icon.info = readInfo(image, 0);
    if (icon.info.headerSize != 40 || icon.info.bitsPerPixel != 8 || icon.info.compression != 0) {
        throw std::runtime_error("not an 8-bit uncompressed icon image");
    }
    const int w = icon.info.width, h = icon.info.height / 2;
    const std::size_t xorStart = 40 + 256 * 4, andStart = xorStart + stride(w, 8) * static_cast<std::size_t>(h);
    if (image.size() < andStart + stride(w, 1) * static_cast<std::size_t>(h)) {
        throw std::runtime_error("icon image is cut short");
    }
    for (std::size_t i = 0; i < 256; ++i) {
        icon.palette.push_back({image[40 + i * 4 + 2], image[40 + i * 4 + 1], image[40 + i * 4]});
    }
    for (int y = 0; y < h; ++y) {
        const auto row = static_cast<std::size_t>(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const auto ux = static_cast<std::size_t>(x);
            icon.index.push_back(image[xorStart + row * stride(w, 8) + ux]);
            const std::uint8_t bits = image[andStart + row * stride(w, 1) + ux / 8];
            icon.transparent.push_back((bits & (0x80u >> (ux % 8))) != 0);
        }
    }
    return icon;
}

}  // namespace art
