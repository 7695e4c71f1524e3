#include "Raster.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <utility>

namespace artgen {

namespace {

constexpr const char* kFamily = "Noto Sans CJK JP";

template <typename T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};

void unrefObject(void* p) {
    g_object_unref(p);
}

using Surface = std::unique_ptr<cairo_surface_t, Deleter<cairo_surface_t, cairo_surface_destroy>>;
using Context = std::unique_ptr<cairo_t, Deleter<cairo_t, cairo_destroy>>;
using FontDesc = std::unique_ptr<PangoFontDescription, Deleter<PangoFontDescription, pango_font_description_free>>;
using FontOptions = std::unique_ptr<cairo_font_options_t, Deleter<cairo_font_options_t, cairo_font_options_destroy>>;
using GObject = std::unique_ptr<void, Deleter<void, unrefObject>>;

FontDesc describe(Font font) {
    FontDesc desc(pango_font_description_new());
    pango_font_description_set_family(desc.get(), kFamily);
    pango_font_description_set_weight(desc.get(), font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_absolute_size(desc.get(), font.pixelSize * PANGO_SCALE);
    return desc;
}

// Fixed rather than taken from the desktop's fontconfig settings, so a user's preferences
// cannot change the pictures. Grey antialiasing only: subpixel fringes would tint the text.
void fixFontOptions(PangoContext* context) {
    FontOptions options(cairo_font_options_create());
    cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_subpixel_order(options.get(), CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options.get());
}

GObject makeLayout(cairo_t* cr, const std::string& utf8, Font font) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    fixFontOptions(pango_layout_get_context(layout));
    pango_layout_context_changed(layout);
    pango_layout_set_font_description(layout, describe(font).get());
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
    return GObject(layout);
}

Mask readMask(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    Mask mask(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            mask.at(x, y) =
                data[static_cast<std::size_t>(y) * static_cast<std::size_t>(stride) + static_cast<std::size_t>(x)];
        }
    }
    return mask;
}

}  // namespace

Mask rasterise(int w, int h, const std::function<void(cairo_t*)>& draw) {
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_A8, w, h));
    Context cr(cairo_create(surface.get()));
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_set_source_rgba(cr.get(), 0, 0, 0, 1);
    draw(cr.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error(cairo_status_to_string(cairo_status(cr.get())));
    }
    return readMask(surface.get());
}

void requireFont() {
    GObject context(pango_font_map_create_context(pango_cairo_font_map_get_default()));
    for (bool bold : {false, true}) {
        GObject loaded(pango_context_load_font(static_cast<PangoContext*>(context.get()), describe({bold, 14}).get()));
        if (!loaded) {
            throw std::runtime_error(std::string("no font at all for ") + kFamily);
        }
        FontDesc got(pango_font_describe(static_cast<PangoFont*>(loaded.get())));
        const char* family = pango_font_description_get_family(got.get());
        if (family == nullptr || std::string(family) != kFamily) {
            throw std::runtime_error(std::string(kFamily) + " is not installed (got " + (family ? family : "nothing") +
                                     "); install fonts-noto-cjk");
        }
    }
}

void appendTextPath(cairo_t* cr, const std::string& utf8, Font font, double x, double y) {
    GObject layout = makeLayout(cr, utf8, font);
    cairo_move_to(cr, x, y);
    pango_cairo_layout_path(cr, static_cast<PangoLayout*>(layout.get()));
}

Mask textMask(const std::string& utf8, Font font) {
    // Measure on a scratch surface, then draw with room to spare so no ink is clipped.
    Surface scratch(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
    Context measure(cairo_create(scratch.get()));
    GObject probe = makeLayout(measure.get(), utf8, font);
    PangoRectangle ink{}, logical{};
    pango_layout_get_pixel_extents(static_cast<PangoLayout*>(probe.get()), &ink, &logical);
    const int margin = static_cast<int>(std::ceil(font.pixelSize));
    const int w = std::max(ink.x + ink.width, logical.width) + 2 * margin;
    const int h = std::max(ink.y + ink.height, logical.height) + 2 * margin;

    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_A8, w, h));
    Context cr(cairo_create(surface.get()));
    cairo_set_source_rgba(cr.get(), 0, 0, 0, 1);
    GObject layout = makeLayout(cr.get(), utf8, font);
    cairo_move_to(cr.get(), margin, margin);
    pango_cairo_show_layout(cr.get(), static_cast<PangoLayout*>(layout.get()));
    int ox = 0, oy = 0;
    return readMask(surface.get()).cropped(ox, oy);
}

Mask fittedText(const std::string& utf8, Font font, int maxWidth, int maxHeight) {
    for (; font.pixelSize >= 6.0; font.pixelSize -= 0.25) {
        Mask mask = textMask(utf8, font);
        if (mask.width <= maxWidth && mask.height <= maxHeight) {
            return mask;
        }
    }
    throw std::runtime_error("text does not fit at any legible size: " + utf8);
}

std::vector<Mask> letterMasks(const std::string& ascii, Font font, double strokeWidth, double spacing) {
    std::vector<double> offsets;
    {
        Surface scratch(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
        Context cr(cairo_create(scratch.get()));
        GObject layout = makeLayout(cr.get(), ascii, font);
        for (std::size_t i = 0; i < ascii.size(); ++i) {
            PangoRectangle pos{};
            pango_layout_index_to_pos(static_cast<PangoLayout*>(layout.get()), static_cast<int>(i), &pos);
            offsets.push_back(static_cast<double>(pos.x) / PANGO_SCALE + spacing * static_cast<double>(i));
        }
    }
    const double margin = std::ceil(font.pixelSize);
    const int w =
        static_cast<int>(std::ceil((font.pixelSize + spacing) * static_cast<double>(ascii.size()) + 2 * margin));
    const int h = static_cast<int>(std::ceil(font.pixelSize * 2 + 2 * margin));
    std::vector<Mask> letters;
    Mask all(w, h);
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        letters.push_back(rasterise(w, h, [&](cairo_t* cr) {
            appendTextPath(cr, ascii.substr(i, 1), font, margin + offsets[i], margin);
            if (strokeWidth > 0) {
                cairo_set_line_width(cr, strokeWidth);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                cairo_fill_preserve(cr);
                cairo_stroke(cr);
            } else {
                cairo_fill(cr);
            }
        }));
        for (std::size_t k = 0; k < all.coverage.size(); ++k) {
            all.coverage[k] = std::max(all.coverage[k], letters.back().coverage[k]);
        }
    }
    int left = 0, top = 0;
    const Mask bounds = all.cropped(left, top);
    for (Mask& letter : letters) {
        Mask cut(bounds.width, bounds.height);
        for (int y = 0; y < cut.height; ++y) {
            for (int x = 0; x < cut.width; ++x) {
                cut.at(x, y) = letter.at(left + x, top + y);
            }
        }
        letter = std::move(cut);
    }
    return letters;
}

}  // namespace artgen
