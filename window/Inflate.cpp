#include "window/Inflate.h"

#include <array>
#include <cstring>

namespace tavro {

namespace {

constexpr std::size_t kMaxCodeBits = 15;
constexpr std::size_t kCodeLengths = 16;          // 0 (unused) to kMaxCodeBits
constexpr std::size_t kLiteralLengthCodes = 288;  // 286 usable, 288 in the fixed code
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

// Least significant bit first, as deflate packs them.
class BitReader {
  public:
    BitReader(const std::uint8_t* in, std::size_t size) noexcept : in_(in), size_(size) {}

    bool Bits(int count, unsigned* value) noexcept {
        if (!Peek(count, value)) {
            return false;
        }
        Skip(count);
        return true;
    }

    // The next count bits without taking them; false when the input ends sooner.
    bool Peek(int count, unsigned* value) noexcept {
        while (held_ < count) {
            if (next_ == size_) {
                return false;
            }
            buffer_ |= static_cast<std::uint32_t>(in_[next_++]) << held_;
            held_ += 8;
        }
        *value = buffer_ & ((1U << count) - 1U);
        return true;
    }

    // Only after a Peek of at least count bits.
    void Skip(int count) noexcept {
        buffer_ >>= count;
        held_ -= count;
    }

    // A look ahead may have taken whole bytes beyond the current one: they stay.
    void SkipToByte() noexcept {
        const int partial = held_ % 8;
        buffer_ >>= partial;
        held_ -= partial;
    }

    // Only at a byte boundary.
    bool Byte(std::uint8_t* value) noexcept {
        if (held_ >= 8) {
            *value = static_cast<std::uint8_t>(buffer_ & 0xFFU);
            buffer_ >>= 8;
            held_ -= 8;
            return true;
        }
        if (next_ == size_) {
            return false;
        }
        *value = in_[next_++];
        return true;
    }

  private:
    const std::uint8_t* in_;
    std::size_t size_;
    std::size_t next_ = 0;
    std::uint32_t buffer_ = 0;
    int held_ = 0;
};

// Codes this long or shorter, nearly all of them, are decoded by one look in a table; longer ones
// a bit at a time.
constexpr int kFastBits = 9;
constexpr std::size_t kFastEntries = std::size_t{1} << kFastBits;

// A canonical Huffman code as deflate defines it: how many codes have each length, and the
// symbols in code order; and, by the next kFastBits bits of input, the symbol of each code no
// longer than that, with its length (symbol << 4 | length; 0 where no such code starts).
struct Code {
    std::array<std::uint16_t, kCodeLengths> count{};
    std::array<std::uint16_t, kLiteralLengthCodes> symbol{};
    std::array<std::uint16_t, kFastEntries> fast{};
};

// Deflate sends a code's bits from its first (highest) one, and they arrive lowest bit first.
unsigned Reversed(unsigned code, std::size_t length) {
    unsigned reversed = 0;
    for (std::size_t i = 0; i < length; ++i) {
        reversed = (reversed << 1) | ((code >> i) & 1U);
    }
    return reversed;
}

void BuildFastTable(const std::uint8_t* lengths, std::size_t symbols, Code* code) {
    code->fast.fill(0);
    std::array<unsigned, kCodeLengths> next{};
    unsigned first = 0;
    for (std::size_t length = 1; length <= kMaxCodeBits; ++length) {
        first = (first + (length > 1 ? code->count[length - 1] : 0U)) << 1;
        next[length] = first;
    }
    for (std::size_t s = 0; s < symbols; ++s) {
        const std::size_t length = lengths[s];
        if (length == 0) {
            continue;
        }
        const unsigned value = next[length]++;
        if (length > static_cast<std::size_t>(kFastBits)) {
            continue;
        }
        const auto entry = static_cast<std::uint16_t>((s << 4) | length);
        for (std::size_t index = Reversed(value, length); index < kFastEntries; index += std::size_t{1} << length) {
            code->fast[index] = entry;
        }
    }
}

// False for lengths that promise more codes than the bits allow. An incomplete code is allowed
// (deflate permits one for a single distance); its unused bit patterns fail when decoded.
bool Build(const std::uint8_t* lengths, std::size_t symbols, Code* code) {
    code->count.fill(0);
    for (std::size_t s = 0; s < symbols; ++s) {
        ++code->count[lengths[s]];
    }
    int left = 1;
    for (std::size_t length = 1; length <= kMaxCodeBits; ++length) {
        left = left * 2 - code->count[length];
        if (left < 0) {
            return false;
        }
    }
    std::array<std::uint16_t, kCodeLengths> offset{};
    for (std::size_t length = 2; length <= kMaxCodeBits; ++length) {
        offset[length] = static_cast<std::uint16_t>(offset[length - 1] + code->count[length - 1]);
    }
    for (std::size_t s = 0; s < symbols; ++s) {
        if (lengths[s] != 0) {
            code->symbol[offset[lengths[s]]++] = static_cast<std::uint16_t>(s);
        }
    }
    BuildFastTable(lengths, symbols, code);
    return true;
}

bool Decode(BitReader& bits, const Code& code, int* symbol) {
    unsigned next = 0;
    if (bits.Peek(kFastBits, &next)) {
        const std::uint16_t entry = code.fast[next];
        if (entry != 0) {
            bits.Skip(static_cast<int>(entry & 0x0FU));
            *symbol = entry >> 4;
            return true;
        }
    }
    int value = 0;  // the bits read so far, as a code of the current length
    int first = 0;  // the first code of the current length
    int index = 0;  // where the current length's symbols start
    for (std::size_t length = 1; length <= kMaxCodeBits; ++length) {
        unsigned bit = 0;
        if (!bits.Bits(1, &bit)) {
            return false;
        }
        value |= static_cast<int>(bit);
        const int count = code.count[length];
        if (value - first < count) {
            *symbol = code.symbol[static_cast<std::size_t>(index + value - first)];
            return true;
        }
        index += count;
        first = (first + count) << 1;
        value <<= 1;
    }
    return false;
}

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

bool Inflate(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize) {
    // Method 8 (deflate) with a window of at most 32 KiB, no preset dictionary, and the header's
    // own check.
    if (inSize < 6 || (in[0] & 0x0FU) != 8 || (in[0] >> 4U) > 7 || (in[1] & 0x20U) != 0 ||
        ((in[0] << 8U) | in[1]) % 31 != 0) {
        return false;
    }
    Inflater inflater(in + 2, inSize - 2, out, outSize);
    if (!inflater.Run()) {
        return false;
    }
    BitReader& bits = inflater.Bits();
    bits.SkipToByte();
    std::uint32_t stored = 0;
    for (int i = 0; i < 4; ++i) {
        std::uint8_t byte = 0;
        if (!bits.Byte(&byte)) {
            return false;
        }
        stored = (stored << 8) | byte;
    }
    return stored == Adler32(out, outSize);
}

}  // namespace tavro
