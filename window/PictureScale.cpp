#include "window/PictureScale.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace tavro {

namespace {

bool Covers(const LayoutRect& r, int x, int y) {
    return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
}

// Where one output pixel of a row or column takes its colour from: two neighbouring input
// pixels, and the weight of the second in 256ths.
struct Tap {
    int first;
    int second;
    std::uint32_t weight;
};

constexpr std::uint32_t kWeightOne = 256;

// The taps of every output pixel along one axis. Output pixel i's centre, i + 1/2, maps to
// (i + 1/2) * from / to in the input, whose pixel centres lie at j + 1/2; the weight is rounded
// to the nearest 256th. Beyond the outer centres the edge pixel stands alone.
std::vector<Tap> Taps(int from, int to) {
    std::vector<Tap> taps(static_cast<std::size_t>(to));
    const long long denominator = 2LL * to;
    for (int i = 0; i < to; ++i) {
        const long long numerator = ((2LL * i + 1) * from - to) * kWeightOne;
        Tap& tap = taps[static_cast<std::size_t>(i)];
        if (numerator <= 0) {
            tap = {0, 0, 0};
            continue;
        }
        const long long position = (numerator + to) / denominator;  // in 256ths of an input pixel
        const auto first = static_cast<int>(position / kWeightOne);
        if (first >= from - 1) {
            tap = {from - 1, from - 1, 0};
            continue;
        }
        tap = {first, first + 1, static_cast<std::uint32_t>(position % kWeightOne)};
    }
    return taps;
}

// a and b mixed, b by weight 256ths, each channel rounded to nearest. Two channels go through one
// multiply, 16 bits apart: 255 * 256 + 128 still fits in 16.
std::uint32_t Blend(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    const std::uint32_t keep = kWeightOne - weight;
    const std::uint32_t redBlue = ((a & 0x00FF00FFU) * keep + (b & 0x00FF00FFU) * weight + 0x00800080U) >> 8;
    const std::uint32_t alphaGreen = ((a >> 8) & 0x00FF00FFU) * keep + ((b >> 8) & 0x00FF00FFU) * weight + 0x00800080U;
    return (redBlue & 0x00FF00FFU) | (alphaGreen & 0xFF00FF00U);
}

}  // namespace

void FillUnderRects(std::uint32_t* pixels, int width, int height, const LayoutRect* rects, int count) {
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

void ScalePicture(const std::uint32_t* from,
                  int fromWidth,
                  int fromHeight,
                  std::uint32_t* to,
                  int toWidth,
                  int toHeight) {
    if (fromWidth <= 0 || fromHeight <= 0 || toWidth <= 0 || toHeight <= 0) {
        return;
    }
    const std::vector<Tap> columns = Taps(fromWidth, toWidth);
    const std::vector<Tap> rows = Taps(fromHeight, toHeight);
    const auto outWidth = static_cast<std::size_t>(toWidth);

    // Input rows at the output width, made when an output row first needs them. The rows an
    // output row mixes only move down, so two kept rows serve, and each input row is widened once.
    std::vector<std::uint32_t> kept(2 * outWidth);
    int keptRow[2] = {-1, -1};
    const auto widened = [&](int y) -> const std::uint32_t* {
        const int slot = y % 2;
        std::uint32_t* const out = kept.data() + static_cast<std::size_t>(slot) * outWidth;
        if (keptRow[slot] != y) {
            const std::uint32_t* const in = from + static_cast<std::ptrdiff_t>(y) * fromWidth;
            for (std::size_t x = 0; x < outWidth; ++x) {
                const Tap& tap = columns[x];
                out[x] = tap.weight == 0 ? in[tap.first] : Blend(in[tap.first], in[tap.second], tap.weight);
            }
            keptRow[slot] = y;
        }
        return out;
    };
    for (int y = 0; y < toHeight; ++y) {
        const Tap& tap = rows[static_cast<std::size_t>(y)];
        std::uint32_t* const out = to + static_cast<std::ptrdiff_t>(y) * toWidth;
        const std::uint32_t* const upper = widened(tap.first);
        if (tap.weight == 0) {
            std::copy(upper, upper + outWidth, out);
            continue;
        }
        const std::uint32_t* const lower = widened(tap.second);
        for (std::size_t x = 0; x < outWidth; ++x) {
            out[x] = Blend(upper[x], lower[x], tap.weight);
        }
    }
}

void ReplaceColour(std::uint32_t* pixels, std::size_t count, std::uint32_t key, std::uint32_t back) {
    for (std::size_t i = 0; i < count; ++i) {
        if ((pixels[i] & 0x00FFFFFFU) == key) {
            pixels[i] = back;
        }
    }
}

}  // namespace tavro
