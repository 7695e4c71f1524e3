// The arithmetic behind the window at other resolutions: picture sizes, button places from twips,
// and covering the face copies in the background before it is stretched.
#include "window/PictureScale.h"

#include <cstdint>
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

std::string ToString(const PixelRect& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") " + std::to_string(r.width) + " x " +
           std::to_string(r.height);
}

TEST(PictureScale, ButtonPlacesComeFromTheirTwips) {
    const struct {
        TwipRect twips;
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
    const PixelRect rects[] = {{2, 0, 2, 2}, {4, 1, 1, 1}, {0, 2, 1, 1}};
    FillUnderRects(pixels.data(), kWidth, kHeight, rects, 3);
    const std::vector<std::uint32_t> expected = {
        1,  2,  2,  2,  5,  6,   //
        7,  8,  8,  8,  8,  12,  //
        13, 14, 15, 16, 17, 18,
    };
    EXPECT_EQ(pixels, expected) << "expected\n" << Rows(expected, kWidth) << "got\n" << Rows(pixels, kWidth);
}

}  // namespace
}  // namespace tavro
