#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ArtFiles.h"

namespace art {
namespace {

constexpr Rgb kWhite{255, 255, 255}, kGrey{239, 239, 239}, kInk{51, 51, 51};
constexpr Rgb kStripes[] = {{252, 252, 220}, {246, 246, 214}};
constexpr Rgb kEdges[] = {{217, 217, 192}, {223, 223, 197}};

struct Box {
    const char* what;
    int left, top, right, bottom;  // inclusive
    bool holds(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// A line of dark grey text: its ink must stay within these rows, starting at this column.
constexpr Box kBannerLines[] = {
    {"banner line 1", 14, 12, 507, 25},
    {"banner line 2", 14, 30, 507, 44},
};
constexpr Box kGroundLines[] = {
    {"copy line 1", 13, 140, 516, 153}, {"copy line 2", 13, 158, 516, 171}, {"copy line 3", 13, 176, 516, 189},
    {"order line", 275, 140, 516, 153}, {"close line", 392, 248, 516, 257},
};
constexpr Box kBanner{"banner", 9, 7, 508, 48};
constexpr Box kCopies[] = {
    {"copy_face.bmp", 5, 55, 0, 0},
    {"order_face.bmp", 261, 55, 0, 0},
    {"close_face.bmp", 386, 204, 0, 0},
    {"logo.bmp", 11, 224, 0, 0},
};

class Background : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { bg = new Picture(decodeBmp(readFile(resourcePath("background.bmp")))); }
    static void TearDownTestSuite() { delete bg; }
    static Rgb ground(int y) { return bg->at(0, y); }  // column 0 is bare ground on every row

    // How far a pixel is covered by the dark grey ink blended over the plain colour beneath it,
    // or -1 when it is no such blend.
    static double inkCover(Rgb c, Rgb plain) {
        const double a = static_cast<double>(plain.r - c.r) / (plain.r - kInk.r);
        const double blue = plain.b + a * (kInk.b - plain.b);
        return c.r == c.g && a >= 0 && a <= 1 && std::abs(blue - c.b) <= 1.5 ? a : -1;
    }

    // plain(y) is the colour of row y where there is no text.
    template <typename Plain>
    static void checkLine(const Box& line, Plain plain) {
        SCOPED_TRACE(line.what);
        int top = line.bottom + 1, bottom = line.top - 1, solid = 0;
        double darkest = 0;
        for (int y = line.top; y <= line.bottom; ++y) {
            for (int x = line.left; x <= line.right; ++x) {
                const Rgb c = bg->at(x, y);
                if (c == plain(y)) {
                    continue;
                }
                const double cover = inkCover(c, plain(y));
                ASSERT_GE(cover, 0) << c << " at (" << x << ", " << y << ") is not " << kInk << " over " << plain(y);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                solid += cover >= 0.75;
                darkest = std::max(darkest, cover);
            }
        }
        EXPECT_GE(solid, 40) << "solidly dark text pixels";
        EXPECT_GE(darkest, 0.85) << "strongest ink coverage";
        EXPECT_GE(bottom - top + 1, line.bottom - line.top - 2) << "text height, rows " << top << " to " << bottom;
    }

    static Picture* bg;
};
Picture* Background::bg = nullptr;

TEST_F(Background, GroundIsOnePixelStripesWhiteAtTheTopGreyAtTheBottom) {
    EXPECT_EQ(ground(0), kWhite);
    EXPECT_EQ(ground(1), kWhite);
    EXPECT_EQ(ground(270), kGrey);
    for (int y = 1; y < 270; ++y) {
        ASSERT_TRUE(ground(y) == kWhite || ground(y) == kGrey) << "row " << y << ": " << ground(y);
        ASSERT_NE(ground(y), ground(y + 1)) << "rows " << y << " and " << y + 1 << " do not alternate";
    }
}

TEST_F(Background, EverythingOutsideItsFeaturesIsGround) {
    std::vector<Box> features{kBanner};
    for (const Box& c : kCopies) {
        const Picture p = decodeBmp(readFile(resourcePath(c.what)));
        features.push_back({c.what, c.left, c.top, c.left + p.width() - 1, c.top + p.height() - 1});
    }
    features.insert(features.end(), std::begin(kGroundLines), std::end(kGroundLines));
    for (int y = 0; y < bg->height(); ++y) {
        for (int x = 0; x < bg->width(); ++x) {
            if (std::none_of(features.begin(), features.end(), [&](const Box& b) { return b.holds(x, y); })) {
                ASSERT_EQ(bg->at(x, y), ground(y)) << "stray pixel at (" << x << ", " << y << ")";
            }
        }
    }
}

TEST_F(Background, BannerHasBeigeEdgeYellowStripesAndTextOnlyInItsRows) {
    for (int y = kBanner.top; y <= kBanner.bottom; ++y) {
        for (int x = kBanner.left; x <= kBanner.right; ++x) {
            const Rgb c = bg->at(x, y);
            const bool edge = x == kBanner.left || x == kBanner.right || y == kBanner.top || y == kBanner.bottom;
            const Rgb* pool = edge ? kEdges : kStripes;
            if (c == pool[0] || c == pool[1]) {
                continue;
            }
            ASSERT_FALSE(edge) << "edge pixel (" << x << ", " << y << ") is " << c;
            const bool inLine = std::any_of(std::begin(kBannerLines), std::end(kBannerLines),
                                            [&](const Box& b) { return b.holds(x, y); });
            ASSERT_TRUE(inLine) << "text pixel " << c << " outside the text rows at (" << x << ", " << y << ")";
        }
    }
    EXPECT_NE(bg->at(20, 20), bg->at(20, 21)) << "banner fill is striped";
    for (const Box& line : kBannerLines) {
        checkLine(line, [](int y) { return bg->at(kBanner.left + 1, y); });
    }
}

TEST_F(Background, TextUnderTheButtonsFillsItsRows) {
    for (const Box& line : kGroundLines) {
        checkLine(line, ground);
    }
}

TEST_F(Background, HoldsExactCopiesOfTheFacesAndTheLogo) {
    for (const Box& c : kCopies) {
        SCOPED_TRACE(c.what);
        const Picture p = decodeBmp(readFile(resourcePath(c.what)));
        int differing = 0;
        for (int y = 0; y < p.height(); ++y) {
            for (int x = 0; x < p.width(); ++x) {
                if (p.at(x, y) != bg->at(c.left + x, c.top + y) && ++differing <= 3) {
                    ADD_FAILURE() << "at (" << x << ", " << y << ") expected " << p.at(x, y) << ", got "
                                  << bg->at(c.left + x, c.top + y);
                }
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

}  // namespace
}  // namespace art
