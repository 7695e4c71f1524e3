#include "window/Inflate.h"

#include <zlib.h>

#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "window/PackedPicture.h"

namespace tavro {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pack(const Bytes& data, int level, int strategy) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, 15, 9, strategy), Z_OK);
    Bytes out(deflateBound(&stream, static_cast<uLong>(data.size())) + 16);
    stream.next_in = const_cast<Bytes::value_type*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

bool Unpack(const Bytes& packed, std::size_t size, Bytes* out) {
    out->assign(size, 0xCD);
    return Inflate(packed.data(), packed.size(), out->data(), out->size());
}

// Data with what every kind of block meets: literals, short and long matches, runs that overlap
// their own copy, and matches as far back as the 32 KiB window reaches.
Bytes Sample(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes data;
    while (data.size() < size) {
        switch (random() % 4) {
            case 0:  // noise
                for (int i = 0; i < 50; ++i) {
                    data.push_back(static_cast<std::uint8_t>(random()));
                }
                break;
            case 1:  // a run
                data.insert(data.end(), 1 + random() % 300, static_cast<std::uint8_t>(random()));
                break;
            default: {  // a copy from anywhere in the window
                if (data.size() < 10) {
                    break;
                }
                const std::size_t back = 1 + random() % std::min<std::size_t>(data.size(), 32768);
                const std::size_t length = 3 + random() % 300;
                for (std::size_t i = 0; i < length; ++i) {
                    data.push_back(data[data.size() - back]);
                }
            }
        }
    }
    data.resize(size);
    return data;
}

TEST(Inflate, GivesBackWhatZlibPackedWithEveryKindOfBlock) {
    const struct {
        const char* name;
        int level;
        int strategy;
    } ways[] = {
        {"stored blocks", 0, Z_DEFAULT_STRATEGY}, {"fixed codes", 9, Z_FIXED}, {"dynamic codes", 9, Z_DEFAULT_STRATEGY},
        {"codes only", 6, Z_HUFFMAN_ONLY},        {"runs only", 6, Z_RLE},     {"fastest", 1, Z_DEFAULT_STRATEGY},
    };
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{70000}, std::size_t{300000}}) {
        const Bytes data = Sample(size, static_cast<unsigned>(size));
        for (const auto& way : ways) {
            SCOPED_TRACE(std::string(way.name) + ", " + std::to_string(size) + " bytes");
            Bytes out;
            ASSERT_TRUE(Unpack(Pack(data, way.level, way.strategy), data.size(), &out));
            EXPECT_TRUE(out == data);
        }
    }
}

TEST(Inflate, RefusesAnythingButTheWholeStreamAtItsSize) {
    const Bytes data = Sample(5000, 7);
    const Bytes packed = Pack(data, 9, Z_DEFAULT_STRATEGY);
    Bytes out;
    ASSERT_TRUE(Unpack(packed, data.size(), &out));
    EXPECT_FALSE(Unpack(packed, data.size() - 1, &out)) << "more data than room";
    EXPECT_FALSE(Unpack(packed, data.size() + 1, &out)) << "less data than asked for";
    for (std::size_t cut = 0; cut < packed.size(); ++cut) {
        EXPECT_FALSE(
            Unpack(Bytes(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut)), data.size(), &out))
            << "cut to " << cut << " of " << packed.size() << " bytes";
    }
    Bytes wrongSum = packed;
    wrongSum.back() ^= 1;
    EXPECT_FALSE(Unpack(wrongSum, data.size(), &out)) << "a wrong Adler-32";
    Bytes dictionary = packed;
    dictionary[1] = static_cast<std::uint8_t>(dictionary[1] | 0x20);
    dictionary[1] = static_cast<std::uint8_t>(dictionary[1] - ((dictionary[0] << 8 | dictionary[1]) % 31));
    EXPECT_FALSE(Unpack(dictionary, data.size(), &out)) << "a preset dictionary";
    Bytes badCheck = packed;
    badCheck[1] ^= 1;
    EXPECT_FALSE(Unpack(badCheck, data.size(), &out)) << "a header that fails its own check";
}

// Damaged streams are judged as zlib judges them: refused, or (where the flipped bit was one the
// decoder never reads, or one that changes nothing) unpacked to the very same bytes. Never read or
// written outside the buffers either way: the host build's sanitizers see to that.
TEST(Inflate, JudgesDamagedStreamsAsZlibDoes) {
    const Bytes data = Sample(20000, 11);
    const Bytes packed = Pack(data, 9, Z_DEFAULT_STRATEGY);
    std::mt19937 random(3);
    Bytes out;
    int refused = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        Bytes damaged = packed;
        const std::size_t at = 2 + random() % (damaged.size() - 2);
        damaged[at] = static_cast<std::uint8_t>(damaged[at] ^ (1U << (random() % 8)));
        Bytes expected(data.size() + 1);
        uLongf expectedSize = static_cast<uLongf>(expected.size());
        const bool zlibTakesIt =
            uncompress(expected.data(), &expectedSize, damaged.data(), static_cast<uLong>(damaged.size())) == Z_OK &&
            expectedSize == data.size();
        const bool taken = Unpack(damaged, data.size(), &out);
        EXPECT_EQ(taken, zlibTakesIt) << "a bit flipped in byte " << at;
        if (taken) {
            EXPECT_TRUE(out == data) << "a bit flipped in byte " << at;
        }
        refused += taken ? 0 : 1;
    }
    EXPECT_GT(refused, 1900) << "nearly every flipped bit changes what the stream says";
}

TEST(PackedPicture, RefusesHeadersAndSizesThatDoNotFit) {
    // Two by one pixels: blue 0x10, green 0x20, red 0x30, then white.
    const Bytes rows = {0x10, 0x20, 0x30, 0xFF, 0xFF, 0xFF};
    Bytes packed = {2, 0, 1, 0};
    const Bytes stream = Pack(rows, 9, Z_DEFAULT_STRATEGY);
    packed.insert(packed.end(), stream.begin(), stream.end());
    std::vector<std::uint32_t> pixels(2);
    ASSERT_TRUE(UnpackPicture(packed.data(), packed.size(), pixels.data(), pixels.size()));
    EXPECT_EQ(pixels, (std::vector<std::uint32_t>{0x00302010U, 0x00FFFFFFU}));

    EXPECT_FALSE(UnpackPicture(packed.data(), packed.size(), pixels.data(), 1)) << "room for another size";
    EXPECT_FALSE(PackedPictureSize(packed.data(), 3)) << "no whole header";
    for (const Bytes& header : {Bytes{0, 0, 1, 0}, Bytes{2, 0, 0, 0}, Bytes{0x01, 0x10, 1, 0}}) {
        EXPECT_FALSE(PackedPictureSize(header.data(), header.size()))
            << "a side of 0 or over " << kMaxPackedSide << ": " << (header[0] | header[1] << 8) << " x "
            << (header[2] | header[3] << 8);
    }
    EXPECT_TRUE(PackedPictureSize(Bytes{0x00, 0x10, 0x00, 0x10}.data(), 4)) << "4096 x 4096 is allowed";
}

}  // namespace
}  // namespace tavro
