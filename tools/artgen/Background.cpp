#include <string>

#include "Artwork.h"
#include "Raster.h"

namespace artgen {

namespace {

constexpr int kWidth = 517;
constexpr int kHeight = 271;
constexpr Rgb kInk{51, 51, 51};

// Row 0 is white, then the rows alternate starting white at row 1: white on odd rows, grey on
// even ones. That gives the two white rows at the top and, 270 being even, a grey last row.
bool lightRow(int y) {
    return y == 0 || y % 2 == 1;
}

struct Line {
    const char* text;
    int left;
    int top;
    int bottom;  // inclusive
    double pixelSize;
};

// Every line's ink lies within rows top..bottom; text starts at column left.
constexpr Line kLines[] = {
    {"このソフトはインターネットで高画質写真プリントを注文できる", 14, 12, 25, 14},
    {"「Tavro」への簡単注文ソフトです。", 14, 30, 44, 14},
    {"いつでも写真を注文できるように", 13, 140, 153, 14},
    {"画面（デスクトップ）上にアイコンを", 13, 158, 171, 14},
    {"作成します。", 13, 176, 189, 14},
    {"今すぐに写真を注文する。", 275, 140, 153, 14},
    {"この画面を閉じます。", 392, 248, 257, 10.5},
};

// The banner's stripes follow the ground's, a pale yellow on light rows and a deeper one on
// dark rows; its edge is beige in the same rhythm.
void drawBanner(Image& bg) {
    constexpr int kLeft = 9, kRight = 508, kTop = 7, kBottom = 48;
    for (int y = kTop; y <= kBottom; ++y) {
        const bool light = lightRow(y);
        const Rgb fill = light ? Rgb{252, 252, 220} : Rgb{246, 246, 214};
        const Rgb edge = light ? Rgb{223, 223, 197} : Rgb{217, 217, 192};
        for (int x = kLeft; x <= kRight; ++x) {
            const bool onEdge = y == kTop || y == kBottom || x == kLeft || x == kRight;
            bg.set(x, y, onEdge ? edge : fill);
        }
    }
}

}  // namespace

Image drawBackground(const BackgroundParts& parts) {
    Image bg(kWidth, kHeight, kWhite);
    for (int y = 0; y < kHeight; ++y) {
        bg.fillRect(0, y, kWidth, 1, lightRow(y) ? kWhite : Rgb{239, 239, 239});
    }
    drawBanner(bg);

    bg.paste(parts.copyFace, 5, 55);
    bg.paste(parts.orderFace, 261, 55);
    bg.paste(parts.closeFace, 386, 204);
    bg.paste(parts.logo, 11, 224);

    for (const Line& line : kLines) {
        const int rows = line.bottom - line.top + 1;
        const Mask ink = fittedText(line.text, {false, line.pixelSize}, kWidth - 9 - line.left, rows);
        bg.paint(ink, line.left, line.top + (rows - ink.height) / 2, kInk);
    }
    return bg;
}

}  // namespace artgen
