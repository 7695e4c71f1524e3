#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/FileIdentity.h"

namespace tavro {
namespace {

std::string Printed(const std::optional<bool>& same) {
    return same ? (*same ? "same" : "different") : "unknown";
}

FileIdentity WithId128(unsigned long long volume, unsigned char last) {
    FileIdentity identity;
    identity.volume = volume;
    identity.id[15] = last;  // an id that differs only past the 64 bits of the older calls
    return identity;
}

TEST(FileIdentity, ZerosAreUnknownNotTheSame) {
    struct Row {
        const char* what;
        FileIdentity first;
        FileIdentity second;
        const char* expected;
    };
    const Row rows[] = {
        {"one file", IdentityFromIndex(0x1234, 0, 42), IdentityFromIndex(0x1234, 0, 42), "same"},
        {"another index", IdentityFromIndex(0x1234, 0, 42), IdentityFromIndex(0x1234, 0, 43), "different"},
        {"another high half", IdentityFromIndex(0x1234, 1, 42), IdentityFromIndex(0x1234, 0, 42), "different"},
        {"another volume", IdentityFromIndex(0x1234, 0, 42), IdentityFromIndex(0x4321, 0, 42), "different"},
        {"both all zeros", IdentityFromIndex(0, 0, 0), IdentityFromIndex(0, 0, 0), "unknown"},
        {"zero serial", IdentityFromIndex(0, 0, 42), IdentityFromIndex(0, 0, 42), "unknown"},
        {"zero index", IdentityFromIndex(0x1234, 0, 0), IdentityFromIndex(0x1234, 0, 0), "unknown"},
        {"one of them zero", IdentityFromIndex(0x1234, 0, 42), IdentityFromIndex(0, 0, 0), "unknown"},
        {"128-bit ids apart past 64 bits", WithId128(7, 1), WithId128(7, 2), "different"},
        {"128-bit ids alike", WithId128(7, 1), WithId128(7, 1), "same"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Printed(SameIdentity(row.first, row.second)), row.expected) << row.what;
    }
}

TEST(FileIdentity, IndexFillsTheFirstEightBytesLeastSignificantFirst) {
    const FileIdentity identity = IdentityFromIndex(5, 0x01020304UL, 0x05060708UL);
    const unsigned char expected[16] = {8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(identity.id[i], expected[i]) << "byte " << i;
    }
    EXPECT_EQ(identity.volume, 5u);
}

}  // namespace
}  // namespace tavro
