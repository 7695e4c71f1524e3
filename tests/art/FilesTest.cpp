#include <gtest/gtest.h>

#include "ArtFiles.h"

namespace art {
namespace {

struct Field {
    const char* what;
    std::size_t at;
    int size;
    std::uint32_t want;
};

void expectFields(const Bytes& b, const std::vector<Field>& fields) {
    for (const Field& f : fields) {
        EXPECT_EQ(field(b, f.at, f.size), f.want) << f.what;
    }
}

TEST(Files, PicturesAreBottomUp24BitBmpsOfTheirSize) {
    const struct {
        const char* name;
        std::uint32_t w, h;
    } pictures[] = {{"background.bmp", 517, 271},        {"order_face.bmp", 250, 80},
                    {"order_face_pressed.bmp", 250, 80}, {"copy_face.bmp", 250, 80},
                    {"copy_face_pressed.bmp", 250, 80},  {"close_face.bmp", 125, 40},
                    {"close_face_pressed.bmp", 125, 40}, {"logo.bmp", 81, 36}};
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.name);
        const Bytes b = readResource(p.name);
        const auto image = static_cast<std::uint32_t>(stride(p.w, 24) * p.h);
        EXPECT_EQ(b.size(), 54 + image);
        expectFields(b, {{"magic BM", 0, 2, 0x4D42},
                         {"file size", 2, 4, 54 + image},
                         {"pixel offset", 10, 4, 54},
                         {"BITMAPINFOHEADER", 14, 4, 40},
                         {"width", 18, 4, p.w},
                         {"height, bottom-up", 22, 4, p.h},
                         {"planes", 26, 2, 1},
                         {"bits per pixel", 28, 2, 24},
                         {"BI_RGB", 30, 4, 0},
                         {"image size", 34, 4, image}});
    }
}

constexpr std::uint32_t kIconImageSize = 40 + 256 * 4 + 32 * 32 + 32 * 4;

TEST(Files, IcoHoldsOne32x32ImageIn256ColoursWithMaskAndTheResourcesMatchIt) {
    const Bytes ico = readResource("tavro.ico"), image = readResource("icon_30001.bin");
    ASSERT_EQ(ico.size(), 22 + kIconImageSize);
    expectFields(ico, {{"reserved", 0, 2, 0},
                       {"type icon", 2, 2, 1},
                       {"count", 4, 2, 1},
                       {"width", 6, 1, 32},
                       {"height", 7, 1, 32},
                       {"colours", 8, 1, 0},
                       {"planes", 10, 2, 1},
                       {"bits", 12, 2, 8},
                       {"bytes", 14, 4, kIconImageSize},
                       {"offset", 18, 4, 22},
                       {"biSize", 22, 4, 40},
                       {"biWidth", 26, 4, 32},
                       {"biHeight, with mask", 30, 4, 64},
                       {"biBitCount", 36, 2, 8},
                       {"BI_RGB", 38, 4, 0}});
    EXPECT_TRUE(Bytes(ico.begin() + 22, ico.end()) == image) << "icon_30001.bin is the image inside tavro.ico";

    const Bytes group = readResource("icon_group_1.bin");
    ASSERT_EQ(group.size(), 20u) << "GRPICONDIR and one 14-byte entry";
    expectFields(group, {{"idReserved", 0, 2, 0},
                         {"idType", 2, 2, 1},
                         {"idCount", 4, 2, 1},
                         {"width", 6, 1, 32},
                         {"height", 7, 1, 32},
                         {"colours", 8, 1, 0},
                         {"reserved", 9, 1, 0},
                         {"planes", 10, 2, 1},
                         {"bits", 12, 2, 8},
                         {"bytes in res", 14, 4, static_cast<std::uint32_t>(image.size())},
                         {"nId", 18, 2, 30001}});
}

TEST(Files, IconShowsCameraOnBlueOverColouredWordWithSeeThroughGaps) {
    const Picture icon = decodeIconImage(readResource("icon_30001.bin"));
    ASSERT_EQ(icon.w(), 32);
    ASSERT_EQ(icon.h(), 32);
    const auto count = [&](int top, int bottom, auto keep) {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < 32; ++x) {
                n += keep(x, y) ? 1 : 0;
            }
        }
        return n;
    };
    const auto clear = [&](int x, int y) { return icon.isClear(x, y); };
    const auto is = [&](Rgb c) {
        return [&icon, c](int x, int y) { return !icon.isClear(x, y) && icon.at(x, y) == c; };
    };
    EXPECT_GT(count(0, 1, clear), 0) << "see-through pixels on the top edge";
    EXPECT_GT(count(24, 32, clear), 0) << "see-through pixels between the letters";
    EXPECT_LT(count(0, 32, clear), 400) << "see-through pixels in all";
    EXPECT_GE(count(0, 23, is({27, 102, 244})), 200) << "blue square";
    EXPECT_GE(count(0, 23, is({219, 220, 221})), 40) << "silver camera";
    for (Rgb c : {Rgb{255, 204, 0}, Rgb{0, 153, 255}, Rgb{255, 51, 102}}) {
        EXPECT_GE(count(22, 32, is(c)), 8) << "letters in " << c;
    }
    // Lens at the upper right: the dark glass lies right of and above the middle of the silver.
    double sum[2][3] = {};
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgb c = icon.at(x, y);
            const int kind = c.r + c.g + c.b < 200 ? 0 : c == Rgb{219, 220, 221} ? 1 : -1;
            if (kind >= 0 && !icon.isClear(x, y)) {
                sum[kind][0] += x, sum[kind][1] += y, ++sum[kind][2];
            }
        }
    }
    ASSERT_TRUE(sum[0][2] > 0 && sum[1][2] > 0) << "glass and body pixels";
    EXPECT_GT(sum[0][0] / sum[0][2], sum[1][0] / sum[1][2] + 2) << "lens right of the body's middle";
    EXPECT_LT(sum[0][1] / sum[0][2], sum[1][1] / sum[1][2]) << "lens above the body's middle";
}

}  // namespace
}  // namespace art
