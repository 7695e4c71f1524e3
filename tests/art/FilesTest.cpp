#include <gtest/gtest.h>

#include "ArtFiles.h"

namespace art {
namespace {

struct BmpCase {
    const char* name;
    int width, height;
};

void PrintTo(const BmpCase& c, std::ostream* os) {
    *os << c.name;
}

class BmpFile : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpFile, IsBottomUp24BitWithPaddedRows) {
    const BmpCase& c = GetParam();
    const Bytes file = readFile(resourcePath(c.name));
    const Picture p = decodeBmp(file);
    const std::uint32_t imageSize = static_cast<std::uint32_t>((c.width * 3 + 3) / 4 * 4 * c.height);
    EXPECT_EQ(p.info.width, c.width);
    EXPECT_EQ(p.info.height, c.height) << "positive: bottom-up";
    EXPECT_EQ(p.info.bitsPerPixel, 24);
    EXPECT_EQ(p.info.planes, 1);
    EXPECT_EQ(p.info.compression, 0u) << "BI_RGB";
    EXPECT_EQ(p.info.headerSize, 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(p.pixelOffset, 54u);
    EXPECT_EQ(p.info.imageSize, imageSize);
    EXPECT_EQ(p.fileSizeField, 54 + imageSize);
    EXPECT_EQ(file.size(), 54 + imageSize);
}

INSTANTIATE_TEST_SUITE_P(Pictures,
                         BmpFile,
                         ::testing::Values(BmpCase{"background.bmp", 517, 271},
                                           BmpCase{"order_face.bmp", 250, 80},
                                           BmpCase{"order_face_pressed.bmp", 250, 80},
                                           BmpCase{"copy_face.bmp", 250, 80},
                                           BmpCase{"copy_face_pressed.bmp", 250, 80},
                                           BmpCase{"close_face.bmp", 125, 40},
                                           BmpCase{"close_face_pressed.bmp", 125, 40},
                                           BmpCase{"logo.bmp", 81, 36}),
                         [](const auto& param) {
                             const std::string name = param.param.name;
                             return name.substr(0, name.find('.'));
                         });

struct Field {
    const char* what;
    std::size_t offset;
    int bytes;
    std::uint32_t expected;
};

void expectFields(const Bytes& data, std::initializer_list<Field> fields) {
    for (const Field& f : fields) {
        const std::uint32_t got = f.bytes == 1   ? data.at(f.offset)
                                  : f.bytes == 2 ? u16(data, f.offset)
                                                 : u32(data, f.offset);
        EXPECT_EQ(got, f.expected) << f.what;
    }
}

constexpr std::uint32_t kIconImageSize = 40 + 256 * 4 + 32 * 32 + 32 * 4;

TEST(Icon, IcoHoldsOne32x32Image256ColoursWithMask) {
    const Bytes ico = readFile(resourcePath("tavro.ico"));
    ASSERT_EQ(ico.size(), 22 + kIconImageSize);
    expectFields(ico, {{"reserved", 0, 2, 0},
                       {"type icon", 2, 2, 1},
                       {"count", 4, 2, 1},
                       {"width", 6, 1, 32},
                       {"height", 7, 1, 32},
                       {"colour count", 8, 1, 0},
                       {"planes", 10, 2, 1},
                       {"bit count", 12, 2, 8},
                       {"bytes", 14, 4, kIconImageSize},
                       {"image offset", 18, 4, 22},
                       {"biSize", 22, 4, 40},
                       {"biWidth", 26, 4, 32},
                       {"biHeight with mask", 30, 4, 64},
                       {"biBitCount", 36, 2, 8},
                       {"BI_RGB", 38, 4, 0}});
}

TEST(Icon, ResourcesMatchTheIco) {
    const Bytes ico = readFile(resourcePath("tavro.ico"));
    const Bytes image = readFile(resourcePath("icon_30001.bin"));
    ASSERT_GE(ico.size(), 22u);
    EXPECT_EQ(Bytes(ico.begin() + 22, ico.end()), image) << "icon_30001.bin is the image inside tavro.ico";

    const Bytes group = readFile(resourcePath("icon_group_1.bin"));
    ASSERT_EQ(group.size(), 20u) << "GRPICONDIR and one 14-byte entry";
    expectFields(group, {{"idReserved", 0, 2, 0},
                         {"idType", 2, 2, 1},
                         {"idCount", 4, 2, 1},
                         {"width", 6, 1, 32},
                         {"height", 7, 1, 32},
                         {"colour count", 8, 1, 0},
                         {"reserved", 9, 1, 0},
                         {"planes", 10, 2, 1},
                         {"bit count", 12, 2, 8},
                         {"bytes in res", 14, 4, static_cast<std::uint32_t>(image.size())},
                         {"nId", 18, 2, 30001}});
}

TEST(Icon, CameraOnBlueSquareOverColouredWordWithSeeThroughGaps) {
    const IconImage icon = decodeIconImage(readFile(resourcePath("icon_30001.bin")));
    ASSERT_EQ(icon.info.width, 32);
    ASSERT_EQ(icon.info.height, 64);
    const auto countWhere = [&](int top, int bottom, auto keep) {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < 32; ++x) {
                n += keep(x, y) ? 1 : 0;
            }
        }
        return n;
    };
    const auto clear = [&](int x, int y) { return icon.clear(x, y); };
    const auto is = [&](Rgb c) {
        return [&icon, c](int x, int y) { return !icon.clear(x, y) && icon.colour(x, y) == c; };
    };
    EXPECT_GT(countWhere(0, 1, clear), 0) << "see-through pixels on the top edge";
    EXPECT_GT(countWhere(24, 32, clear), 0) << "see-through pixels between the letters";
    EXPECT_LT(countWhere(0, 32, clear), 400) << "see-through pixels in all";
    EXPECT_GE(countWhere(0, 23, is({27, 102, 244})), 200) << "blue square";
    EXPECT_GE(countWhere(0, 23, is({219, 220, 221})), 40) << "silver camera";
    for (Rgb c : {Rgb{255, 204, 0}, Rgb{0, 153, 255}, Rgb{255, 51, 102}}) {
        EXPECT_GE(countWhere(22, 32, is(c)), 8) << "letters in " << c;
    }

    // Lens at the upper right: the dark glass sits right of and above the silver body's middle.
    double glassX = 0, glassY = 0, bodyX = 0, bodyY = 0;
    int glass = 0, body = 0;
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgb c = icon.colour(x, y);
            if (!icon.clear(x, y) && c.r + c.g + c.b < 200) {
                glassX += x, glassY += y, ++glass;
            } else if (!icon.clear(x, y) && c == Rgb{219, 220, 221}) {
                bodyX += x, bodyY += y, ++body;
            }
        }
    }
    ASSERT_GT(glass, 0);
    ASSERT_GT(body, 0);
    EXPECT_GT(glassX / glass, bodyX / body + 2) << "lens right of the body's middle";
    EXPECT_LT(glassY / glass, bodyY / body) << "lens above the body's middle";
}

}  // namespace
}  // namespace art
