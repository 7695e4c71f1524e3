#include "window/HuffmanCode.h"

namespace tavro::inflate {

namespace {

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

}  // namespace

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

}  // namespace tavro::inflate
