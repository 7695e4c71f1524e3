#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "Artwork.h"
#include "Raster.h"
#include "window/Descriptions.h"

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
    const tavro::PictureSentence& sentence;
    std::size_t line;
    int left;
    int top;
    int bottom;  // inclusive
    double pixelSize;
};

// Every line's ink lies within rows top..bottom; text starts at column left. The words are the
// window's own accessible descriptions (window/Descriptions.h), line by line.
const Line kLines[] = {
    {tavro::kFormDescription, 0, 14, 12, 25, 14},          {tavro::kFormDescription, 1, 14, 30, 44, 14},
    {tavro::kCopyCommandDescription, 0, 13, 140, 153, 14}, {tavro::kCopyCommandDescription, 1, 13, 158, 171, 14},
    {tavro::kCopyCommandDescription, 2, 13, 176, 189, 14}, {tavro::kStartUpCommandDescription, 0, 275, 140, 153, 14},
    {tavro::kCloseDescription, 0, 392, 248, 257, 10.5},
};

// Pango takes UTF-8; the sentences are UTF-16 (Windows) or UTF-32 (here) code units.
std::string Utf8(const wchar_t* text) {
    std::string out;
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        auto c = static_cast<std::uint32_t>(*p);
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint32_t>(*++p) - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// A line added to a sentence must find a place in the picture, or the picture would say less
// than the screen reader.
void requireEveryLineDrawn() {
    for (const tavro::PictureSentence* sentence : {&tavro::kFormDescription, &tavro::kCopyCommandDescription,
                                                   &tavro::kStartUpCommandDescription, &tavro::kCloseDescription}) {
        for (std::size_t i = 0; i < sentence->lines.size(); ++i) {
            bool drawn = false;
            for (const Line& line : kLines) {
                drawn = drawn || (&line.sentence == sentence && line.line == i);
            }
            if ((sentence->lines[i] != nullptr) != drawn) {
                throw std::runtime_error(
                    "a line of a described sentence has no place in the background, or a place but no text");
            }
        }
    }
}

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

    requireEveryLineDrawn();
    for (const Line& line : kLines) {
        const int rows = line.bottom - line.top + 1;
        const wchar_t* text = line.sentence.lines.at(line.line);
        if (text == nullptr) {
            throw std::runtime_error("the background names a line its sentence does not have");
        }
        const Mask ink = fittedText(Utf8(text), {false, line.pixelSize}, kWidth - 9 - line.left, rows);
        bg.paint(ink, line.left, line.top + (rows - ink.height) / 2, kInk);
    }
    return bg;
}

}  // namespace artgen
