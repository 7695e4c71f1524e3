#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "ArtFiles.h"

namespace art {
namespace {

constexpr Rgb kWhite{255, 255, 255};

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
    count(p, 0, top, p.w(), bottom, [&](Rgb c) { return ++seen[c] > 0; });
    return std::max_element(seen.begin(), seen.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}

TEST(Faces, RoundedTwoToneButtonsWithWhiteCornersAndPressedTwins) {
    // The pressed twin is the face darkened pixel by pixel by press; its stated colours (upper
    // half, and the white corners gone grey) pin the rule down.
    constexpr Rgb kPressedWhite{128, 128, 128};
    const struct {
        const char *normal, *pressed;
        Rgb upper, lower, outline, pressedUpper;
        Rgb (*press)(Rgb);
    } faces[] = {
        {"order_face.bmp",
         "order_face_pressed.bmp",
         {255, 51, 102},
         {227, 44, 89},
         {220, 127, 143},
         {128, 26, 51},
         halve},
        {"copy_face.bmp",
         "copy_face_pressed.bmp",
         {0, 147, 255},
         {0, 121, 205},
         {127, 127, 215},
         {0, 67, 128},
         pressCopy},
        {"close_face.bmp",
         "close_face_pressed.bmp",
         {188, 182, 154},
         {174, 169, 144},
         {164, 162, 150},
         {94, 91, 77},
         halve},
    };
    for (const auto& f : faces) {
        SCOPED_TRACE(f.normal);
        const Picture p = loadBmp(f.normal), pressed = loadBmp(f.pressed);
        const int w = p.w(), h = p.h();
        ASSERT_EQ(pressed.w(), w);
        ASSERT_EQ(pressed.h(), h);
        for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}}) {
            EXPECT_EQ(p.at(x, y), kWhite) << "corner (" << x << ", " << y << ")";
            EXPECT_EQ(pressed.at(x, y), kPressedWhite) << "pressed corner (" << x << ", " << y << ")";
        }
        EXPECT_EQ(dominant(p, 0, h / 2), f.upper) << "upper half";
        EXPECT_EQ(dominant(pressed, 0, h / 2), f.pressedUpper) << "pressed upper half";
        EXPECT_EQ(dominant(p, h / 2, h), f.lower) << "lower half";
        EXPECT_EQ(p.at(w / 2, 0), f.outline) << "rim";
        int differing = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (pressed.at(x, y) != f.press(p.at(x, y)) && ++differing <= 3) {
                    ADD_FAILURE() << "pressed (" << x << ", " << y << "): expected " << f.press(p.at(x, y)) << ", got "
                                  << pressed.at(x, y);
                }
            }
        }
        EXPECT_EQ(differing, 0) << "pixels not darkened by the rule";
    }
}

bool white(Rgb c) {
    return c == kWhite;
}

TEST(Faces, OrderFaceLetteringAndArrowArePureWhiteButNotWhenPressed) {
    const Picture p = loadBmp("order_face.bmp");
    EXPECT_GE(count(p, 12, 15, 200, 65, white), 600) << "solid white lettering";
    const auto column = [&](int x) { return count(p, x, 25, x + 1, 55, white); };
    EXPECT_GE(column(220), 18) << "arrow head";
    EXPECT_GT(column(220), column(232)) << "arrow head narrows to the right";
    EXPECT_EQ(count(loadBmp("order_face_pressed.bmp"), 0, 0, 250, 80, white), 0) << "pure white when pressed";
}

TEST(Faces, CopyFaceHasMarkUnderlinedIntroTextAndTheIconOnWhite) {
    const Picture p = loadBmp("copy_face.bmp");
    EXPECT_GE(count(p, 8, 4, 19, 26, [](Rgb c) { return c.r > 220 && c.g > 190 && c.b < 80; }), 30) << "yellow";
    EXPECT_GE(count(p, 19, 4, 30, 26, [](Rgb c) { return c.g > 130 && c.r < 60 && c.b < 130; }), 30) << "green";
    int underline = 0;
    for (int y = 0; y < 30; ++y) {
        underline = std::max(underline, count(p, 0, y, 250, y + 1, [](Rgb c) { return c == Rgb{224, 224, 224}; }));
    }
    EXPECT_GE(underline, 100) << "longest light grey underline";
    EXPECT_GE(count(p, 10, 30, 200, 72, white), 500) << "solid white two-line text";

    const Picture icon = decodeIconImage(readResource("icon_30001.bin"));
    const auto iconAt = [&](int ox, int oy) {
        for (int i = 0; i < 32 * 32; ++i) {
            const int x = i % 32, y = i / 32;
            if (p.at(ox + x, oy + y) != (icon.isClear(x, y) ? kWhite : icon.at(x, y))) {
                return false;
            }
        }
        return true;
    };
    int found = -1;
    for (int i = 0; i < (250 - 31) * (80 - 31) && found < 0; ++i) {
        found = iconAt(i % (250 - 31), i / (250 - 31)) ? i % (250 - 31) : -1;
    }
    EXPECT_GE(found, 125) << "left edge of the icon's copy, -1 when not found";
}

TEST(Faces, LogoIsTheColouredWordOverDarkBlueLettering) {
    const Picture p = loadBmp("logo.bmp");
    ASSERT_EQ(p.w(), 81);
    ASSERT_EQ(p.h(), 36);
    for (Rgb c : {Rgb{255, 204, 0}, Rgb{0, 153, 255}, Rgb{255, 51, 102}}) {
        EXPECT_GE(count(p, 0, 0, 81, 22, [&](Rgb q) { return q == c; }), 40) << "letters in " << c;
    }
    EXPECT_GE(count(p, 0, 20, 81, 30, [](Rgb q) { return q == Rgb{255, 204, 0}; }), 40) << "yellow swoosh";
    const auto darkBlue = [](Rgb c) { return c.b > 100 && c.b > c.r + 60 && c.g < 90; };
    EXPECT_GE(count(p, 0, 28, 81, 36, darkBlue), 30) << "dark blue lettering";
    EXPECT_EQ(count(p, 0, 0, 81, 28, darkBlue), 0) << "dark blue above the bottom line";
    EXPECT_EQ(p.at(0, 0), kWhite);
}

}  // namespace
}  // namespace art
