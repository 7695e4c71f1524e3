#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "ArtFiles.h"

namespace art {
namespace {

constexpr Rgb kWhite{255, 255, 255};

Picture load(const std::string& name) {
    return decodeBmp(readFile(resourcePath(name)));
}

Rgb halve(Rgb c) {
    return {(c.r + 1) / 2, (c.g + 1) / 2, (c.b + 1) / 2};
}

// The copy face's blues go deeper: green first gives up an eighth of what blue has over it.
Rgb pressCopy(Rgb c) {
    return {(c.r + 1) / 2, std::max(0, (c.g + 1 - std::max(0, c.b - c.g) / 8) / 2), (c.b + 1) / 2};
}

template <typename Keep>
int count(const Picture& p, int left, int top, int right, int bottom, Keep keep) {
    int n = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            n += keep(p.at(x, y)) ? 1 : 0;
        }
    }
    return n;
}

Rgb dominant(const Picture& p, int top, int bottom) {
    std::map<Rgb, int> seen;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < p.width(); ++x) {
            ++seen[p.at(x, y)];
        }
    }
    return std::max_element(seen.begin(), seen.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}

TEST(PressRule, GivesTheStatedColours) {
    const struct {
        Rgb (*press)(Rgb);
        Rgb normal, pressed;
    } examples[] = {
        {halve, {255, 255, 255}, {128, 128, 128}}, {halve, {255, 51, 102}, {128, 26, 51}},
        {halve, {188, 182, 154}, {94, 91, 77}},    {pressCopy, {0, 147, 255}, {0, 67, 128}},
        {pressCopy, kWhite, {128, 128, 128}},
    };
    for (const auto& e : examples) {
        EXPECT_EQ(e.press(e.normal), e.pressed) << "for " << e.normal;
    }
}

struct FaceCase {
    const char* normal;
    const char* pressed;
    int width, height;
    Rgb upper, lower, outline;
    Rgb (*press)(Rgb);
};

void PrintTo(const FaceCase& f, std::ostream* os) {
    *os << f.normal;
}

class Face : public ::testing::TestWithParam<FaceCase> {};

TEST_P(Face, HasWhiteCornersTwoToneBodyAndRim) {
    const FaceCase& f = GetParam();
    const Picture p = load(f.normal);
    ASSERT_EQ(p.width(), f.width);
    ASSERT_EQ(p.height(), f.height);
    for (auto [x, y] : {std::pair{0, 0}, {f.width - 1, 0}, {0, f.height - 1}, {f.width - 1, f.height - 1}}) {
        EXPECT_EQ(p.at(x, y), kWhite) << "corner (" << x << ", " << y << ")";
    }
    EXPECT_EQ(dominant(p, 0, f.height / 2), f.upper) << "upper half";
    EXPECT_EQ(dominant(p, f.height / 2, f.height), f.lower) << "lower half";
    EXPECT_EQ(p.at(f.width / 2, 0), f.outline) << "top of the rim";
    EXPECT_EQ(p.at(f.width / 2, f.height - 1), f.outline) << "bottom of the rim";
}

TEST_P(Face, PressedFaceIsTheNormalOneDarkenedPixelForPixel) {
    const FaceCase& f = GetParam();
    const Picture normal = load(f.normal), pressed = load(f.pressed);
    ASSERT_EQ(pressed.width(), normal.width());
    ASSERT_EQ(pressed.height(), normal.height());
    int differing = 0;
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            const Rgb want = f.press(normal.at(x, y));
            if (pressed.at(x, y) != want && ++differing <= 3) {
                ADD_FAILURE() << "at (" << x << ", " << y << ") expected " << want << ", got " << pressed.at(x, y);
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Faces,
                         Face,
                         ::testing::Values(FaceCase{"order_face.bmp",
                                                    "order_face_pressed.bmp",
                                                    250,
                                                    80,
                                                    {255, 51, 102},
                                                    {227, 44, 89},
                                                    {220, 127, 143},
                                                    halve},
                                           FaceCase{"copy_face.bmp",
                                                    "copy_face_pressed.bmp",
                                                    250,
                                                    80,
                                                    {0, 147, 255},
                                                    {0, 121, 205},
                                                    {127, 127, 215},
                                                    pressCopy},
                                           FaceCase{"close_face.bmp",
                                                    "close_face_pressed.bmp",
                                                    125,
                                                    40,
                                                    {188, 182, 154},
                                                    {174, 169, 144},
                                                    {164, 162, 150},
                                                    halve}),
                         [](const auto& param) {
                             const std::string name = param.param.normal;
                             return name.substr(0, name.find('_'));
                         });

bool white(Rgb c) {
    return c == kWhite;
}

TEST(OrderFace, LetteringAndArrowArePureWhiteAndPressedFaceHasNone) {
    const Picture p = load("order_face.bmp");
    EXPECT_GE(count(p, 12, 15, 200, 65, white), 600) << "solid white lettering";
    EXPECT_GE(count(p, 200, 25, 240, 55, white), 150) << "solid white arrow";
    // The arrow points right: its column of white narrows to a tip at the right end.
    const auto column = [&](int x) { return count(p, x, 25, x + 1, 55, white); };
    EXPECT_GT(column(220), column(232)) << "arrow head tapers to the right";
    EXPECT_EQ(count(load("order_face_pressed.bmp"), 0, 0, 250, 80, white), 0) << "pure white in the pressed face";
}

TEST(CopyFace, HasMarkUnderlinedIntroLargeTextAndTheIconOnWhite) {
    const Picture p = load("copy_face.bmp");
    const auto yellow = [](Rgb c) { return c.r > 220 && c.g > 190 && c.b < 80; };
    const auto green = [](Rgb c) { return c.g > 130 && c.r < 60 && c.b < 130; };
    EXPECT_GE(count(p, 8, 4, 18, 26, yellow), 30) << "yellow left half of the mark";
    EXPECT_GE(count(p, 19, 4, 30, 26, green), 30) << "green right half of the mark";
    int underline = 0;
    for (int y = 0; y < 30; ++y) {
        underline = std::max(underline, count(p, 0, y, 250, y + 1, [](Rgb c) { return c == Rgb{224, 224, 224}; }));
    }
    EXPECT_GE(underline, 100) << "longest light grey underline";
    EXPECT_GE(count(p, 10, 30, 200, 72, white), 500) << "solid white two-line text";

    // Find the program icon: its opaque pixels copied, its see-through ones white.
    const IconImage icon = decodeIconImage(readFile(resourcePath("icon_30001.bin")));
    const auto iconAt = [&](int ox, int oy) {
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                if (p.at(ox + x, oy + y) != (icon.clear(x, y) ? kWhite : icon.colour(x, y))) {
                    return false;
                }
            }
        }
        return true;
    };
    int foundX = -1;
    for (int oy = 0; oy + 32 <= p.height() && foundX < 0; ++oy) {
        for (int ox = 0; ox + 32 <= p.width() && foundX < 0; ++ox) {
            foundX = iconAt(ox, oy) ? ox : -1;
        }
    }
    EXPECT_GE(foundX, 125) << "icon copy in the right half (-1: not found)";
}

TEST(CloseFace, WhiteTextIsCentred) {
    const Picture p = load("close_face.bmp");
    int left = p.width(), right = -1;
    for (int y = 5; y < 35; ++y) {
        for (int x = 8; x < 117; ++x) {
            if (p.at(x, y) == kWhite) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    ASSERT_GE(right, 0) << "no white text";
    EXPECT_NEAR(left + right, p.width() - 1, 4) << "white text spans " << left << " to " << right;
}

TEST(Logo, ColouredWordOverDarkBlueLettering) {
    const Picture p = load("logo.bmp");
    ASSERT_EQ(p.width(), 81);
    ASSERT_EQ(p.height(), 36);
    for (Rgb c : {Rgb{255, 204, 0}, Rgb{0, 153, 255}, Rgb{255, 51, 102}}) {
        EXPECT_GE(count(p, 0, 0, 81, 22, [&](Rgb q) { return q == c; }), 40) << "letters in " << c;
    }
    EXPECT_GE(count(p, 0, 20, 81, 30, [](Rgb q) { return q == Rgb{255, 204, 0}; }), 40) << "yellow swoosh";
    const auto darkBlue = [](Rgb c) { return c.b > 100 && c.b > c.r + 60 && c.g < 90; };
    EXPECT_GE(count(p, 0, 28, 81, 36, darkBlue), 30) << "dark blue lettering at the bottom";
    EXPECT_EQ(count(p, 0, 22, 81, 36, darkBlue), count(p, 0, 0, 81, 36, darkBlue)) << "lettering below the word";
    EXPECT_EQ(p.at(0, 0), kWhite);
    EXPECT_EQ(p.at(80, 35), kWhite);
}

}  // namespace
}  // namespace art
