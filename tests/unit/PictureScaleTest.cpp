// The arithmetic behind the window at other resolutions: picture sizes, button places from twips,
// covering the face copies in the background before it is stretched, and the scaler itself.
#include "window/PictureScale.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tavro {
namespace {

struct ScaleCase {
    int pixels;
    int dpi;
    int expected;
};

TEST(PictureScale, SizesGrowWithTheDpiRoundedHalfUp) {
    const ScaleCase cases[] = {
        {517, 96, 517},  {271, 96, 271},  {250, 96, 250},  // 96 dpi: the pictures as they are
        {517, 120, 646}, {271, 120, 339}, {250, 120, 313}, {80, 120, 100},  {125, 120, 156},  {517, 144, 776},
        {271, 144, 407}, {250, 144, 375}, {80, 144, 120},  {125, 144, 188}, {517, 192, 1034},
    };
    for (const ScaleCase& c : cases) {
        EXPECT_EQ(ScalePicturePixels(c.pixels, c.dpi), c.expected) << c.pixels << " px at " << c.dpi << " dpi";
    }
}

std::string ToString(const LayoutRect& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") " + std::to_string(r.width) + " x " +
           std::to_string(r.height);
}

TEST(PictureScale, ButtonPlacesComeFromTheirTwips) {
    const struct {
        LayoutRect twips;
        int dpi;
        const char* expected;
    } cases[] = {
        {{75, 810, 3765, 1245}, 96, "(5, 54) 251 x 83"},
        {{75, 810, 3765, 1245}, 120, "(6, 68) 314 x 104"},
        {{75, 810, 3765, 1245}, 144, "(8, 81) 377 x 125"},
        {{5745, 3030, 1935, 675}, 144, "(575, 303) 194 x 68"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToString(TwipsToPixels(c.twips, c.dpi)), c.expected) << "at " << c.dpi << " dpi";
    }
}

std::string Rows(const std::vector<std::uint32_t>& pixels, int width) {
    std::string text;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        text += std::to_string(pixels[i]) + ((i + 1) % static_cast<std::size_t>(width) == 0 ? "\n" : " ");
    }
    return text;
}

TEST(PictureScale, CoveredPixelsTakeTheNearestUncoveredOneToTheirLeft) {
    constexpr int kWidth = 6;
    constexpr int kHeight = 3;
    std::vector<std::uint32_t> pixels = {
        1,  2,  3,  4,  5,  6,   //
        7,  8,  9,  10, 11, 12,  //
        13, 14, 15, 16, 17, 18,
    };
    // Two rectangles side by side, like the copy and order buttons, and one at the left edge,
    // which has nothing to its left and keeps its pixels.
    const LayoutRect rects[] = {{2, 0, 2, 2}, {4, 1, 1, 1}, {0, 2, 1, 1}};
    FillUnderRects(pixels.data(), kWidth, kHeight, rects, 3);
    const std::vector<std::uint32_t> expected = {
        1,  2,  2,  2,  5,  6,   //
        7,  8,  8,  8,  8,  12,  //
        13, 14, 15, 16, 17, 18,
    };
    EXPECT_EQ(pixels, expected) << "expected\n" << Rows(expected, kWidth) << "got\n" << Rows(pixels, kWidth);
}

std::string Hex(std::uint32_t pixel) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(pixel));
    return text;
}

// A picture whose every pixel differs from its neighbours in every channel.
std::vector<std::uint32_t> Varied(int width, int height) {
    std::vector<std::uint32_t> pixels;
    std::uint32_t state = 12345;
    for (int i = 0; i < width * height; ++i) {
        state = state * 1103515245U + 12345U;
        pixels.push_back(state & 0x00FFFFFFU);
    }
    return pixels;
}

// Scales into a buffer with guard pixels after the picture, which must stay untouched.
std::vector<std::uint32_t> Scaled(const std::vector<std::uint32_t>& from,
                                  int fromWidth,
                                  int fromHeight,
                                  int toWidth,
                                  int toHeight) {
    constexpr std::uint32_t kGuard = 0xDEADBEEF;
    constexpr std::size_t kGuards = 64;
    const std::size_t size = static_cast<std::size_t>(toWidth) * static_cast<std::size_t>(toHeight);
    std::vector<std::uint32_t> to(size + kGuards, kGuard);
    ScalePicture(from.data(), fromWidth, fromHeight, to.data(), toWidth, toHeight);
    for (std::size_t i = size; i < to.size(); ++i) {
        EXPECT_EQ(Hex(to[i]), Hex(kGuard)) << "written past the picture, " << i - size << " pixels on";
    }
    to.resize(size);
    return to;
}

TEST(PictureScaler, WritesEveryPixelOfTheSizeAskedForAndNoMore) {
    // The pictures at the window's resolutions, and sizes that shrink and grow unevenly.
    const struct {
        int fromWidth, fromHeight, toWidth, toHeight;
    } cases[] = {{250, 80, 313, 100}, {250, 80, 375, 120}, {517, 271, 777, 407},
                 {7, 5, 3, 2},        {1, 1, 9, 4},        {3, 4, 3, 11}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.fromWidth) + " x " + std::to_string(c.fromHeight) + " to " +
                     std::to_string(c.toWidth) + " x " + std::to_string(c.toHeight));
        // Flat, so every pixel written has one known value and a pixel not written shows.
        const std::vector<std::uint32_t> from(static_cast<std::size_t>(c.fromWidth * c.fromHeight), 0x00102030U);
        const std::vector<std::uint32_t> to = Scaled(from, c.fromWidth, c.fromHeight, c.toWidth, c.toHeight);
        const auto other = std::find_if(to.begin(), to.end(), [](std::uint32_t p) { return p != 0x00102030U; });
        EXPECT_EQ(other, to.end()) << "pixel " << (other - to.begin()) << " is "
                                   << (other == to.end() ? "" : Hex(*other)) << ", not the flat colour 00102030";
    }
}

TEST(PictureScaler, SameSizeLeavesThePictureAsItIs) {
    const std::vector<std::uint32_t> from = Varied(13, 7);
    const std::vector<std::uint32_t> to = Scaled(from, 13, 7, 13, 7);
    for (std::size_t i = 0; i < from.size(); ++i) {
        EXPECT_EQ(Hex(to[i]), Hex(from[i])) << "pixel " << i;
    }
}

TEST(PictureScaler, FlatColourStaysFlatAtEveryResolution) {
    for (const std::uint32_t colour : {0x00000000U, 0x00FFFFFFU, 0x00FF00FFU, 0x0000FF00U, 0x00123456U}) {
        for (const int dpi : {120, 144, 192}) {
            const std::vector<std::uint32_t> from(250 * 80, colour);
            const std::vector<std::uint32_t> to =
                Scaled(from, 250, 80, ScalePicturePixels(250, dpi), ScalePicturePixels(80, dpi));
            const auto other = std::find_if(to.begin(), to.end(), [colour](std::uint32_t p) { return p != colour; });
            EXPECT_EQ(other, to.end()) << Hex(colour) << " at " << dpi << " dpi: pixel " << (other - to.begin())
                                       << " is " << (other == to.end() ? "" : Hex(*other));
        }
    }
}

// Channels share a multiply two at a time: a full channel beside a changing one must not carry
// into it, nor it into its neighbour.
TEST(PictureScaler, NoChannelBleedsIntoAnother) {
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t steady = 0xFFFFFFFFU & ~(0xFFU << shift);
        std::vector<std::uint32_t> from;
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 6; ++x) {
                from.push_back(steady | (((x + y) % 2 == 0 ? 0xFFU : 0x00U) << shift));
            }
        }
        const std::vector<std::uint32_t> to = Scaled(from, 6, 6, 9, 9);
        bool mixed = false;
        for (std::size_t i = 0; i < to.size(); ++i) {
            EXPECT_EQ(Hex(to[i] & ~(0xFFU << shift)), Hex(steady)) << "channel at bit " << shift << ", pixel " << i;
            const std::uint32_t changing = (to[i] >> shift) & 0xFFU;
            mixed = mixed || (changing != 0 && changing != 0xFF);
        }
        // The premise: the changing channel was blended, so there was something to carry.
        EXPECT_TRUE(mixed) << "channel at bit " << shift << " was never blended";
    }
}

TEST(PictureScaler, EdgePixelsContinueBeyondThePicture) {
    // Two pixels across, four out: the outer output pixels map beyond the outer input centres.
    const std::vector<std::uint32_t> from = {0x00000000U, 0x00FFFFFFU};
    const std::vector<std::uint32_t> to = Scaled(from, 2, 1, 4, 1);
    EXPECT_EQ(Hex(to[0]), "00000000") << "left edge";
    EXPECT_EQ(Hex(to[3]), "00FFFFFF") << "right edge";
    // And down the columns: one pixel tall grows to three, each row the same.
    const std::vector<std::uint32_t> tall = Scaled({0x00808080U, 0x00102030U}, 2, 1, 2, 3);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(Hex(tall[static_cast<std::size_t>(y) * 2]), "00808080") << "row " << y;
        EXPECT_EQ(Hex(tall[static_cast<std::size_t>(y) * 2 + 1]), "00102030") << "row " << y;
    }
}

TEST(PictureScaler, BlendsBetweenTheNeighboursItLiesBetween) {
    // At 1.5 times, the middle of three output pixels lies halfway between the two input ones.
    const std::vector<std::uint32_t> to = Scaled({0x00000000U, 0x00FEFEFEU}, 2, 1, 3, 1);
    EXPECT_EQ(Hex(to[0]), "00000000");
    EXPECT_EQ(Hex(to[1]), "007F7F7F");
    EXPECT_EQ(Hex(to[2]), "00FEFEFE");
    // Every pixel of a varied picture, scaled up, lies within the range of the 2 x 2 input pixels
    // around the place it maps to.
    const std::vector<std::uint32_t> from = Varied(10, 8);
    const std::vector<std::uint32_t> big = Scaled(from, 10, 8, 15, 12);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 15; ++x) {
            const int x0 = std::max(0, (2 * x + 1) * 10 / 30 - 1);
            const int y0 = std::max(0, (2 * y + 1) * 8 / 24 - 1);
            for (int shift = 0; shift < 24; shift += 8) {
                unsigned low = 255;
                unsigned high = 0;
                for (int v = y0; v <= std::min(7, y0 + 2); ++v) {
                    for (int u = x0; u <= std::min(9, x0 + 2); ++u) {
                        const unsigned c = (from[static_cast<std::size_t>(v * 10 + u)] >> shift) & 0xFFU;
                        low = std::min(low, c);
                        high = std::max(high, c);
                    }
                }
                const unsigned got = (big[static_cast<std::size_t>(y * 15 + x)] >> shift) & 0xFFU;
                EXPECT_TRUE(got >= low && got <= high) << "(" << x << ", " << y << ") channel at bit " << shift << ": "
                                                       << got << " outside " << low << ".." << high;
            }
        }
    }
}

TEST(PictureScaler, SeeThroughColourTakesTheButtonColourFirst) {
    EXPECT_EQ(Hex(PixelFromColorRef(0x00332211U)), "00112233") << "COLORREF 0x00BBGGRR to pixel 0x00RRGGBB";
    std::vector<std::uint32_t> pixels = {0x00FFFFFFU, 0x00FFFFFEU, 0x00000000U, 0x00FFFFFFU};
    ReplaceColour(pixels.data(), pixels.size(), 0x00FFFFFFU, 0x00FFFF00U);
    const std::vector<std::uint32_t> expected = {0x00FFFF00U, 0x00FFFFFEU, 0x00000000U, 0x00FFFF00U};
    EXPECT_EQ(pixels, expected);
}

}  // namespace
}  // namespace tavro
