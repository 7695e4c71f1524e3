#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ArtFiles.h"

namespace art {
namespace {

constexpr Rgb kWhite{255, 255, 255}, kGrey{239, 239, 239}, kInk{51, 51, 51};
constexpr Rgb kStripes[] = {{252, 252, 220}, {246, 246, 214}}, kEdges[] = {{217, 217, 192}, {223, 223, 197}};

struct Box {
    const char* what;
    int left, top, right, bottom;  // inclusive
    bool holds(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

constexpr Box kBanner{"banner", 9, 7, 508, 48};
// Where each line's dark grey ink may lie: its stated rows, from its starting column on.
constexpr Box kLines[] = {{"banner 1", 14, 12, 507, 25}, {"banner 2", 14, 30, 507, 44}, {"copy 1", 13, 140, 516, 153},
                          {"copy 2", 13, 158, 516, 171}, {"copy 3", 13, 176, 516, 189}, {"order", 275, 140, 516, 153},
                          {"close", 392, 248, 516, 257}};
constexpr struct {
    const char* name;
    int x, y;
} kCopies[] = {{"copy_face.bmp", 5, 55},
               {"order_face.bmp", 261, 55},
               {"close_face.bmp", 386, 204},
               {"logo.bmp", 11, 224}};

const Picture& bg() {
    static const Picture picture = loadBmp("background.bmp");
    return picture;
}

// Colour of row y where nothing is drawn on it: column 0 is bare ground, column 10 bare banner.
Rgb plain(int x, int y) {
    return bg().at(kBanner.holds(x, y) ? kBanner.left + 1 : 0, y);
}

TEST(Background, GroundIsOnePixelStripesWhiteAtTheTopGreyAtTheBottom) {
    EXPECT_EQ(bg().at(0, 0), kWhite);
    EXPECT_EQ(bg().at(0, 1), kWhite);
    EXPECT_EQ(bg().at(0, 270), kGrey);
    for (int y = 1; y < 270; ++y) {
        const Rgb c = bg().at(0, y), next = bg().at(0, y + 1);
        ASSERT_TRUE((c == kWhite && next == kGrey) || (c == kGrey && next == kWhite)) << "rows " << y << ", " << y + 1;
    }
}

TEST(Background, OutsideItsPartsEveryPixelIsGroundAndTheBannerEdgeBeige) {
    std::vector<Box> parts{{"banner inside", kBanner.left + 1, kBanner.top + 1, kBanner.right - 1, kBanner.bottom - 1}};
    for (const auto& c : kCopies) {
        const Picture p = loadBmp(c.name);
        parts.push_back({c.name, c.x, c.y, c.x + p.w() - 1, c.y + p.h() - 1});
    }
    parts.insert(parts.end(), std::begin(kLines), std::end(kLines));
    for (int y = 0; y < bg().h(); ++y) {
        for (int x = 0; x < bg().w(); ++x) {
            const Rgb c = bg().at(x, y);
            if (kBanner.holds(x, y) && !parts[0].holds(x, y)) {
                ASSERT_TRUE(c == kEdges[0] || c == kEdges[1]) << "banner edge (" << x << ", " << y << ") is " << c;
            } else if (kBanner.holds(x, y) && !kLines[0].holds(x, y) && !kLines[1].holds(x, y)) {
                ASSERT_TRUE(c == kStripes[0] || c == kStripes[1]) << "banner (" << x << ", " << y << ") is " << c;
            } else if (std::none_of(parts.begin(), parts.end(), [&](const Box& b) { return b.holds(x, y); })) {
                ASSERT_EQ(c, plain(x, y)) << "stray pixel at (" << x << ", " << y << ")";
            }
        }
    }
    EXPECT_NE(plain(20, 20), plain(20, 21)) << "banner fill is striped";
}

// Every pixel of a line that differs from the plain colour must be the ink blended over it.
TEST(Background, TextIsDarkGreyAndFillsItsRows) {
    for (const Box& line : kLines) {
        SCOPED_TRACE(line.what);
        int top = line.bottom, bottom = line.top, solid = 0;
        for (int y = line.top; y <= line.bottom; ++y) {
            for (int x = line.left; x <= line.right; ++x) {
                const Rgb c = bg().at(x, y), under = plain(x, y);
                const double cover = static_cast<double>(under.r - c.r) / (under.r - kInk.r);
                if (c == under) {
                    continue;
                }
                ASSERT_TRUE(c.r == c.g && cover > 0 && cover <= 1 &&
                            std::abs(under.b + cover * (kInk.b - under.b) - c.b) <= 1.5)
                    << c << " at (" << x << ", " << y << ") is not " << kInk << " over " << under;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                solid += cover >= 0.75;
            }
        }
        EXPECT_GE(solid, 40) << "solidly dark pixels";
        EXPECT_GE(bottom - top + 1, line.bottom - line.top - 2) << "text height, rows " << top << " to " << bottom;
    }
}

TEST(Background, HoldsExactCopiesOfTheFacesAndTheLogo) {
    for (const auto& c : kCopies) {
        SCOPED_TRACE(c.name);
        const Picture p = loadBmp(c.name);
        int differing = 0;
        for (int y = 0; y < p.h(); ++y) {
            for (int x = 0; x < p.w(); ++x) {
                if (p.at(x, y) != bg().at(c.x + x, c.y + y) && ++differing <= 3) {
                    ADD_FAILURE() << "(" << x << ", " << y << "): expected " << p.at(x, y) << ", got "
                                  << bg().at(c.x + x, c.y + y);
                }
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

}  // namespace
}  // namespace art
