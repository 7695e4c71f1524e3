#include "window/PackedPicture.h"

#include "window/Inflate.h"

namespace tavro {

namespace {

constexpr std::size_t kHeaderSize = 4;

}  // namespace

std::optional<PictureSize> PackedPictureSize(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < kHeaderSize) {
        return std::nullopt;
    }
    const int width = data[0] | (data[1] << 8);
    const int height = data[2] | (data[3] << 8);
    if (width == 0 || height == 0 || width > kMaxPackedSide || height > kMaxPackedSide) {
        return std::nullopt;
    }
    return PictureSize{width, height};
}

bool UnpackPicture(const std::uint8_t* data, std::size_t size, std::uint32_t* pixels, std::size_t pixelCount) {
    const std::optional<PictureSize> picture = PackedPictureSize(data, size);
    if (!picture || pixels == nullptr ||
        pixelCount != static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height)) {
        return false;
    }
    // The three-byte pixels are unpacked into the last three quarters of the pixels' own memory
    // and widened front to back, so no second buffer is needed: pixel i, written to bytes 4i to
    // 4i + 3, never reaches pixel i + 1's bytes, which start at pixelCount + 3i + 3.
    auto* const bytes = reinterpret_cast<unsigned char*>(pixels);
    const unsigned char* packed = bytes + pixelCount;
    if (!Inflate(data + kHeaderSize, size - kHeaderSize, bytes + pixelCount, pixelCount * 3)) {
        return false;
    }
    for (std::size_t i = 0; i < pixelCount; ++i) {
        const unsigned char* bgr = packed + i * 3;
        pixels[i] = static_cast<std::uint32_t>(bgr[0]) | (static_cast<std::uint32_t>(bgr[1]) << 8) |
                    (static_cast<std::uint32_t>(bgr[2]) << 16);
    }
    return true;
}

}  // namespace tavro
