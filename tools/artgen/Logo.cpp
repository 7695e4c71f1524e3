#include "Artwork.h"
#include "Raster.h"

namespace artgen {

namespace {

constexpr Rgb kYellow{255, 204, 0};
constexpr Rgb kBlue{0, 153, 255};
constexpr Rgb kPink{255, 51, 102};
constexpr Rgb kDarkBlue{0, 45, 140};

}  // namespace

Image drawLogo() {
    Image logo(81, 36, kWhite);

    // The swelling stroke makes neighbours overlap; a white halo round each letter keeps
    // them apart, the later letter in front.
    const Rgb colours[] = {kBlue, kYellow, kPink, kBlue, kYellow};
    for (double px = 30.0;; px -= 0.25) {
        const std::vector<Mask> letters = letterMasks("Tavro", {true, px}, 2.4);
        const Mask& first = letters.front();
        if (first.width > 77 || first.height > 22) {
            continue;
        }
        const int left = (logo.width() - first.width) / 2;
        for (std::size_t i = 0; i < letters.size(); ++i) {
            logo.paint(letters[i].dilated(), left, 1, kWhite);
            logo.paint(letters[i], left, 1, colours[i]);
        }
        break;
    }

    // A crescent that sweeps up to the right under the word.
    const Mask swoosh = rasterise(logo.width(), logo.height(), [](cairo_t* cr) {
        cairo_move_to(cr, 1, 22);
        cairo_curve_to(cr, 18, 31.5, 55, 31, 80, 18.5);
        cairo_curve_to(cr, 55, 26.5, 20, 27.5, 1, 22);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    logo.paint(swoosh, 0, 0, kYellow);

    const Mask tagline = fittedText("PHOTO PRINT", {true, 8}, 60, 6);
    logo.paint(tagline, logo.width() - tagline.width - 3, 35 - tagline.height, kDarkBlue);
    return logo;
}

}  // namespace artgen
