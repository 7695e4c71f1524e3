#include "window/Inflate.h"

#include <array>
#include <cstring>

#include "window/BitReader.h"
#include "window/HuffmanCode.h"

namespace tavro {

namespace inflate {
namespace {

constexpr std::size_t kDistanceCodes = 30;
constexpr int kEndOfBlock = 256;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                       31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, kDistanceCodes> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, kDistanceCodes> kDistanceExtra = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block gives the code lengths of its code-length code.
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

class Inflater {
  public:
    Inflater(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize) noexcept
        : bits_(in, inSize), out_(out), outSize_(outSize) {}

    bool Run() {
        unsigned last = 0;
        do {
            unsigned type = 0;
            if (!bits_.Bits(1, &last) || !bits_.Bits(2, &type)) {
                return false;
            }
            bool ok = false;
            switch (type) {
                case 0:
                    ok = Stored();
                    break;
                case 1:
                    ok = Fixed();
                    break;
                case 2:
                    ok = Dynamic();
                    break;
                default:
                    return false;
            }
            if (!ok) {
                return false;
            }
        } while (last == 0);
        return written_ == outSize_;
    }

    BitReader& Bits() noexcept { return bits_; }

  private:
    bool Stored() {
        bits_.SkipToByte();
        std::array<std::uint8_t, 4> header{};
        for (std::uint8_t& byte : header) {
            if (!bits_.Byte(&byte)) {
                return false;
            }
        }
        const unsigned length = header[0] | (static_cast<unsigned>(header[1]) << 8U);
        const unsigned complement = header[2] | (static_cast<unsigned>(header[3]) << 8U);
        if ((length ^ 0xFFFFU) != complement || length > outSize_ - written_) {
            return false;
        }
        for (unsigned i = 0; i < length; ++i) {
            if (!bits_.Byte(&out_[written_++])) {
                return false;
            }
        }
        return true;
    }

    bool Fixed() {
        std::array<std::uint8_t, kLiteralLengthCodes> literalLengths{};
        for (std::size_t s = 0; s < literalLengths.size(); ++s) {
            literalLengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
        }
        std::array<std::uint8_t, kDistanceCodes> distanceLengths{};
        distanceLengths.fill(5);
        return Build(literalLengths.data(), literalLengths.size(), &literals_) &&
               Build(distanceLengths.data(), distanceLengths.size(), &distances_) && Codes();
    }

    bool Dynamic() {
        unsigned literalCount = 0;
        unsigned distanceCount = 0;
        unsigned lengthCodeCount = 0;
        if (!bits_.Bits(5, &literalCount) || !bits_.Bits(5, &distanceCount) || !bits_.Bits(4, &lengthCodeCount)) {
            return false;
        }
        literalCount += 257;
        distanceCount += 1;
        lengthCodeCount += 4;
        if (literalCount > 286 || distanceCount > kDistanceCodes) {
            return false;
        }
        std::array<std::uint8_t, kLiteralLengthCodes + kDistanceCodes> lengths{};
        for (unsigned i = 0; i < lengthCodeCount; ++i) {
            unsigned length = 0;
            if (!bits_.Bits(3, &length)) {
                return false;
            }
            lengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(length);
        }
        Code lengthCode;
        if (!Build(lengths.data(), kCodeLengthOrder.size(), &lengthCode)) {
            return false;
        }
        const unsigned total = literalCount + distanceCount;
        unsigned filled = 0;
        while (filled < total) {
            int symbol = 0;
            if (!Decode(bits_, lengthCode, &symbol)) {
                return false;
            }
            if (symbol < 16) {
                lengths[filled++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            std::uint8_t repeated = 0;
            unsigned times = 0;
            bool read = false;
            if (symbol == 16) {
                if (filled == 0) {
                    return false;  // nothing to repeat
                }
                repeated = lengths[filled - 1];
                read = bits_.Bits(2, &times);
                times += 3;
            } else if (symbol == 17) {
                read = bits_.Bits(3, &times);
                times += 3;
            } else {
                read = bits_.Bits(7, &times);
                times += 11;
            }
            if (!read || times > total - filled) {
                return false;
            }
            while (times-- > 0) {
                lengths[filled++] = repeated;
            }
        }
        if (lengths[kEndOfBlock] == 0) {
            return false;  // a block that could never end
        }
        return Build(lengths.data(), literalCount, &literals_) &&
               Build(lengths.data() + literalCount, distanceCount, &distances_) && Codes();
    }

    bool Codes() {
        for (;;) {
            int symbol = 0;
            if (!Decode(bits_, literals_, &symbol)) {
                return false;
            }
            if (symbol < kEndOfBlock) {
                if (written_ == outSize_) {
                    return false;
                }
                out_[written_++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            if (symbol == kEndOfBlock) {
                return true;
            }
            const auto lengthCode = static_cast<std::size_t>(symbol - kEndOfBlock - 1);
            if (lengthCode >= kLengthBase.size()) {
                return false;
            }
            unsigned extra = 0;
            if (!bits_.Bits(kLengthExtra[lengthCode], &extra)) {
                return false;
            }
            const std::size_t length = kLengthBase[lengthCode] + extra;
            int distanceCode = 0;
            if (!Decode(bits_, distances_, &distanceCode) || static_cast<std::size_t>(distanceCode) >= kDistanceCodes) {
                return false;
            }
            const auto d = static_cast<std::size_t>(distanceCode);
            if (!bits_.Bits(kDistanceExtra[d], &extra)) {
                return false;
            }
            const std::size_t distance = kDistanceBase[d] + extra;
            if (distance > written_ || length > outSize_ - written_) {
                return false;
            }
            // A copy may overlap what it writes (a run of one repeated byte): byte by byte then.
            const std::uint8_t* from = out_ + (written_ - distance);
            std::uint8_t* to = out_ + written_;
            if (distance >= length) {
                std::memcpy(to, from, length);
            } else {
                for (std::size_t i = 0; i < length; ++i) {
                    to[i] = from[i];
                }
            }
            written_ += length;
        }
    }

    BitReader bits_;
    std::uint8_t* out_;
    std::size_t outSize_;
    std::size_t written_ = 0;
    Code literals_;
    Code distances_;
};

std::uint32_t Adler32(const std::uint8_t* data, std::size_t size) {
    constexpr std::uint32_t kModulus = 65521;
    // The most bytes whose sums cannot overflow 32 bits before they are reduced.
    constexpr std::size_t kRun = 5552;
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::size_t done = 0; done < size;) {
        const std::size_t end = size - done < kRun ? size : done + kRun;
        for (; done < end; ++done) {
            a += data[done];
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
    }
    return (b << 16) | a;
}

}  // namespace
}  // namespace inflate

bool Inflate(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize) {
    // Method 8 (deflate) with a window of at most 32 KiB, no preset dictionary, and the header's
    // own check.
    if (inSize < 6 || (in[0] & 0x0FU) != 8 || (in[0] >> 4U) > 7 || (in[1] & 0x20U) != 0 ||
        ((in[0] << 8U) | in[1]) % 31 != 0) {
        return false;
    }
    inflate::Inflater inflater(in + 2, inSize - 2, out, outSize);
    if (!inflater.Run()) {
        return false;
    }
    inflate::BitReader& bits = inflater.Bits();
    bits.SkipToByte();
    std::uint32_t stored = 0;
    for (int i = 0; i < 4; ++i) {
        std::uint8_t byte = 0;
        if (!bits.Byte(&byte)) {
            return false;
        }
        stored = (stored << 8) | byte;
    }
    return stored == inflate::Adler32(out, outSize);
}

}  // namespace tavro
