// The program stores its pictures packed: each must unpack, through the program's own unpacker,
// to exactly the bitmap the generator drew.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ArtFiles.h"
#include "window/PackedPicture.h"

namespace {

TEST(PackedPictures, UnpackToTheirBitmapsPixelForPixel) {
    for (const char* name : {"background", "order_face", "order_face_pressed", "copy_face", "copy_face_pressed",
                             "close_face", "close_face_pressed", "logo"}) {
        SCOPED_TRACE(name);
        const art::Picture bitmap = art::loadBmp(std::string(name) + ".bmp");
        const art::Bytes packed = art::readResource(std::string(name) + ".pic");
        const std::optional<tavro::PictureSize> size = tavro::PackedPictureSize(packed.data(), packed.size());
        ASSERT_TRUE(size);
        ASSERT_EQ(size->width, bitmap.w());
        ASSERT_EQ(size->height, bitmap.h());
        std::vector<std::uint32_t> pixels(bitmap.pixels.size());
        ASSERT_TRUE(tavro::UnpackPicture(packed.data(), packed.size(), pixels.data(), pixels.size()));
        std::size_t differing = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            differing += pixels[i] == static_cast<std::uint32_t>(bitmap.pixels[i]) ? 0U : 1U;
        }
        EXPECT_EQ(differing, 0U) << "of " << pixels.size() << " pixels";
        // The reason to pack them: every customer downloads the program.
        EXPECT_LT(packed.size() * 4, bitmap.pixels.size() * 3) << "packed to " << packed.size() << " bytes";
    }
}

}  // namespace
