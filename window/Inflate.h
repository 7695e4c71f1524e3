#pragma once

#include <cstddef>
#include <cstdint>

namespace tavro {

// Unpacks a zlib stream (a two-byte header, deflate-compressed data, an Adler-32 of what it holds)
// into exactly outSize bytes at out. False, with out's contents unspecified, when the stream is
// anything else: a bad header or preset dictionary, a code the data does not define, a distance
// before the start, more or fewer bytes than outSize, input that ends early, a wrong checksum.
// Never reads or writes outside the two buffers, whatever the input.
bool Inflate(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t outSize);

}  // namespace tavro
