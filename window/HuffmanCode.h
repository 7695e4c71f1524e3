#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "window/BitReader.h"

namespace tavro::inflate {

inline constexpr std::size_t kMaxCodeBits = 15;
inline constexpr std::size_t kCodeLengths = 16;          // 0 (unused) to kMaxCodeBits
inline constexpr std::size_t kLiteralLengthCodes = 288;  // 286 usable, 288 in the fixed code

// Codes this long or shorter, nearly all of them, are decoded by one look in a table; longer ones
// a bit at a time.
inline constexpr int kFastBits = 9;
inline constexpr std::size_t kFastEntries = std::size_t{1} << kFastBits;

// A canonical Huffman code as deflate defines it: how many codes have each length, and the
// symbols in code order; and, by the next kFastBits bits of input, the symbol of each code no
// longer than that, with its length (symbol << 4 | length; 0 where no such code starts).
struct Code {
    std::array<std::uint16_t, kCodeLengths> count{};
    std::array<std::uint16_t, kLiteralLengthCodes> symbol{};
    std::array<std::uint16_t, kFastEntries> fast{};
};

// False for lengths that promise more codes than the bits allow. An incomplete code is allowed
// (deflate permits one for a single distance); its unused bit patterns fail when decoded.
bool Build(const std::uint8_t* lengths, std::size_t symbols, Code* code);

// The next symbol in code; false when the input ends first or its bits begin no code.
bool Decode(BitReader& bits, const Code& code, int* symbol);

}  // namespace tavro::inflate
