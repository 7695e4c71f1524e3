#pragma once

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

#include "Image.h"

namespace artgen {

// Cairo only ever rasterises coverage here; colours are mixed by Image::paint, so solid
// areas come out as the exact colour asked for.
Mask rasterise(int w, int h, const std::function<void(cairo_t*)>& draw);

struct Font {
    bool bold = false;
    double pixelSize = 14.0;
};

// Stops with a message when fontconfig would hand us a substitute for Noto Sans CJK JP:
// the committed pictures were drawn with it.
void requireFont();

// The ink of a line of text, cropped tight.
Mask textMask(const std::string& utf8, Font font);

// The ink of the text at the largest size, at most font.pixelSize, that fits maxWidth × maxHeight.
Mask fittedText(const std::string& utf8, Font font, int maxWidth, int maxHeight);

// Appends the outline of the text to the current path, its layout's top-left corner at (x, y).
void appendTextPath(cairo_t* cr, const std::string& utf8, Font font, double x, double y);

// One mask per letter of an ASCII word, all cropped to the ink of the whole word so they
// line up, letting each letter take its own colour. A non-zero stroke width swells the
// letters with round joins, which rounds off their corners; spacing adds room between letters.
std::vector<Mask> letterMasks(const std::string& ascii, Font font, double strokeWidth, double spacing = 0);

}  // namespace artgen
