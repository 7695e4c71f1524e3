#include <algorithm>
#include <optional>

#include "Artwork.h"
#include "Raster.h"
#include "Shapes.h"

namespace artgen {

namespace {

struct FaceColours {
    Rgb upper;
    Rgb lower;
    Rgb outline;
    std::optional<Rgb> highlight;
};

Mask roundedRect(int w, int h, double inset, double radius) {
    return rasterise(w, h, [&](cairo_t* cr) {
        roundedRectPath(cr, inset, inset, w - 2 * inset, h - 2 * inset, radius - inset);
        cairo_fill(cr);
    });
}

// Rounded button: outline, a one-pixel highlight inside it, a flat upper and a deeper lower
// half. The corners outside the outline stay white.
Image buttonShape(int w, int h, double radius, const FaceColours& c) {
    Image face(w, h, kWhite);
    face.paint(roundedRect(w, h, 0, radius), 0, 0, c.outline);
    double inset = 1;
    if (c.highlight) {
        face.paint(roundedRect(w, h, inset, radius), 0, 0, *c.highlight);
        ++inset;
    }
    const Mask body = roundedRect(w, h, inset, radius);
    face.paintRows(body, 0, 0, c.upper, 0, h / 2);
    face.paintRows(body, 0, 0, c.lower, h / 2, h);
    return face;
}

void drawRightArrow(Image& face, int left, int right, int midY) {
    const Mask arrow = rasterise(face.width(), face.height(), [&](cairo_t* cr) {
        const double headLeft = right - 15;
        cairo_move_to(cr, left, midY - 4);
        cairo_line_to(cr, headLeft, midY - 4);
        cairo_line_to(cr, headLeft, midY - 11);
        cairo_line_to(cr, right, midY);
        cairo_line_to(cr, headLeft, midY + 11);
        cairo_line_to(cr, headLeft, midY + 4);
        cairo_line_to(cr, left, midY + 4);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    face.paint(arrow, 0, 0, kWhite);
}

// The beginner's mark: a leaf folded into a chevron, yellow on the left, green on the right.
void drawBeginnersMark(Image& face, int x, int y, int w, int h) {
    const double mid = x + w / 2.0;
    const double notch = h * 0.28;
    const double tip = h * 0.72;
    auto half = [&](double outer) {
        return rasterise(face.width(), face.height(), [&](cairo_t* cr) {
            cairo_move_to(cr, outer, y);
            cairo_line_to(cr, mid, y + notch);
            cairo_line_to(cr, mid, y + h);
            cairo_line_to(cr, outer, y + tip);
            cairo_close_path(cr);
            cairo_fill(cr);
        });
    };
    const Mask whole = rasterise(face.width(), face.height(), [&](cairo_t* cr) {
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, mid, y + notch);
        cairo_line_to(cr, x + w, y);
        cairo_line_to(cr, x + w, y + tip);
        cairo_line_to(cr, mid, y + h);
        cairo_line_to(cr, x, y + tip);
        cairo_close_path(cr);
        cairo_set_line_width(cr, 2.0);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    });
    face.paint(whole, 0, 0, kWhite);
    face.paint(half(x), 0, 0, {255, 221, 0});
    face.paint(half(x + w), 0, 0, {0, 166, 81});
}

}  // namespace

Image drawOrderFace() {
    Image face = buttonShape(250, 80, 12, {{255, 51, 102}, {227, 44, 89}, {220, 127, 143}, Rgb{255, 153, 178}});
    const Mask text = fittedText("写真を注文する", {true, 27}, 180, 30);
    face.paint(text, 20, 40 - text.height / 2, kWhite);
    drawRightArrow(face, 208, 234, 40);
    return face;
}

Image drawCopyFace(const IndexedIcon& icon) {
    Image face = buttonShape(250, 80, 12, {{0, 147, 255}, {0, 121, 205}, {127, 127, 215}, Rgb{127, 201, 255}});

    drawBeginnersMark(face, 13, 7, 12, 16);
    const Mask intro = fittedText("初めての方はこちら", {true, 13}, 150, 13);
    face.paint(intro, 30, 9, kWhite);
    face.fillRect(12, 9 + intro.height + 3, 30 + intro.width - 12 + 2, 1, {224, 224, 224});

    const Mask line1 = fittedText("デスクトップに", {true, 17}, 180, 17);
    const Mask line2 = fittedText("ショートカットを作成する", {true, 17}, 182, 17);
    face.paint(line1, 14, 34, kWhite);
    face.paint(line2, 14, 56, kWhite);

    constexpr int kIconX = 207, kIconY = 24;
    face.fillRect(kIconX - 3, kIconY - 3, IndexedIcon::kSize + 6, IndexedIcon::kSize + 6, kWhite);
    for (int y = 0; y < IndexedIcon::kSize; ++y) {
        for (int x = 0; x < IndexedIcon::kSize; ++x) {
            if (!icon.transparent[icon.at(x, y)]) {
                face.set(kIconX + x, kIconY + y, icon.colour(x, y));
            }
        }
    }
    return face;
}

Image drawCloseFace() {
    Image face = buttonShape(125, 40, 8, {{188, 182, 154}, {174, 169, 144}, {164, 162, 150}, std::nullopt});
    const Mask text = fittedText("閉じる", {true, 19}, 90, 20);
    face.paint(text, (face.width() - text.width) / 2, (face.height() - text.height) / 2, kWhite);
    return face;
}

Image halfBrightness(const Image& face) {
    Image out = face;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            const Rgb c = face.at(x, y);
            out.set(x, y,
                    {static_cast<std::uint8_t>((c.r + 1) / 2), static_cast<std::uint8_t>((c.g + 1) / 2),
                     static_cast<std::uint8_t>((c.b + 1) / 2)});
        }
    }
    return out;
}

// Before halving, green gives up an eighth of whatever blue has over it, so the pressed blue
// reads deeper rather than washed out. Whites and greys have no such excess and halve plainly.
Image pressedCopyFace(const Image& face) {
    Image out = halfBrightness(face);
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            const Rgb c = face.at(x, y);
            const int excess = std::max(0, c.b - c.g);
            Rgb p = out.at(x, y);
            p.g = static_cast<std::uint8_t>(std::max(0, (c.g + 1 - excess / 8) / 2));
            out.set(x, y, p);
        }
    }
    return out;
}

}  // namespace artgen
