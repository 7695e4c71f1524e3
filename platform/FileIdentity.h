#pragma once

#include <array>
#include <optional>

namespace tavro {

// What a file system says makes a file that file: the volume's serial number and the file's id on
// it (128 bits on ReFS, where the 64-bit index of older calls is not unique; the 64-bit index in
// the first eight bytes, least significant first, elsewhere).
struct FileIdentity {
    unsigned long long volume = 0;
    std::array<unsigned char, 16> id{};
};

// The identity older calls report: a 32-bit volume serial and a 64-bit index in two halves.
FileIdentity IdentityFromIndex(unsigned long volume, unsigned long indexHigh, unsigned long indexLow);

// Whether first and second are one file; nothing when either identity is unknown: some file
// systems (some network ones) report zeros for the serial or the id, and two files so reported
// would look the same.
std::optional<bool> SameIdentity(const FileIdentity& first, const FileIdentity& second);

}  // namespace tavro
