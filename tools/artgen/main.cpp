// Draws the launcher's pictures and icon into a folder (resources/ in the repository).
// The output is committed, so the Windows build never needs this tool.

#include <exception>
#include <iostream>
#include <string>
#include <utility>

#include "Artwork.h"
#include "FileFormats.h"
#include "Raster.h"

// Fontconfig keeps its font cache for the life of the process; under LeakSanitizer that
// reads as a leak of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}

int main(int argc, char** argv) {
    using namespace artgen;
    if (argc != 2) {
        std::cerr << "usage: tavro_artgen OUTPUT_FOLDER\n";
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    try {
        requireFont();
        const IndexedIcon icon = drawIcon();
        const Image logo = drawLogo();
        const Image order = drawOrderFace();
        const Image copy = drawCopyFace(icon);
        const Image close = drawCloseFace();
        const Image background = drawBackground({copy, order, close, logo});

        // Each picture twice: the bitmap, which the art tests and the benchmarks read, and the
        // packed form the program stores.
        const std::pair<const char*, Image> pictures[] = {
            {"background", background},
            {"order_face", order},
            {"order_face_pressed", halfBrightness(order)},
            {"copy_face", copy},
            {"copy_face_pressed", pressedCopyFace(copy)},
            {"close_face", close},
            {"close_face_pressed", halfBrightness(close)},
            {"logo", logo},
        };
        for (const auto& [name, picture] : pictures) {
            writeFile(dir + name + ".bmp", encodeBmp(picture));
            writeFile(dir + name + ".pic", encodePackedPicture(picture));
        }

        const Bytes iconImage = encodeIconImage(icon);
        writeFile(dir + "tavro.ico", encodeIco(iconImage));
        writeFile(dir + "icon_30001.bin", iconImage);
        writeFile(dir + "icon_group_1.bin", encodeIconGroup(iconImage, 30001));
    } catch (const std::exception& e) {
        std::cerr << "tavro_artgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
