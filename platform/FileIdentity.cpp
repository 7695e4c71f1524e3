#include "platform/FileIdentity.h"

#include <algorithm>

namespace tavro {

namespace {

bool Known(const FileIdentity& identity) {
    return identity.volume != 0 &&
           std::any_of(identity.id.begin(), identity.id.end(), [](unsigned char b) { return b != 0; });
}

}  // namespace

FileIdentity IdentityFromIndex(unsigned long volume, unsigned long indexHigh, unsigned long indexLow) {
    FileIdentity identity;
    identity.volume = volume;
    const unsigned long long index = (static_cast<unsigned long long>(indexHigh & 0xffffffffUL) << 32) |
                                     (static_cast<unsigned long long>(indexLow & 0xffffffffUL));
    for (std::size_t i = 0; i < 8; ++i) {
        identity.id[i] = static_cast<unsigned char>((index >> (8 * i)) & 0xff);
    }
    return identity;
}

std::optional<bool> SameIdentity(const FileIdentity& first, const FileIdentity& second) {
    if (!Known(first) || !Known(second)) {
        return std::nullopt;
    }
    return first.volume == second.volume && first.id == second.id;
}

}  // namespace tavro
