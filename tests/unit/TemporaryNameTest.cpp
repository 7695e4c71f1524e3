#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/TemporaryName.h"

namespace tavro {
namespace {

std::string Printed(const std::optional<TemporaryOwner>& owner) {
    if (!owner) {
        return "none";
    }
    return std::to_string(owner->processId) + (owner->started ? " started " + std::to_string(*owner->started) : "");
}

TEST(TemporaryName, IsShortAndCarriesTheProcessIdAndItsStart) {
    EXPECT_EQ(TemporaryFileName(1234, 0x01dc6a1b2c3d4e5fULL), L"~Tavro1234-01dc6a1b2c3d4e5f.tmp");
    EXPECT_EQ(TemporaryFileName(4, 0), L"~Tavro4-0000000000000000.tmp");
    // The longest name it gives, 37 characters: whatever the destination's name, the temporary
    // needs no more than this.
    EXPECT_EQ(TemporaryFileName(4294967295UL, ~0ULL), L"~Tavro4294967295-ffffffffffffffff.tmp");
}

TEST(TemporaryName, ReadsBackTheOwnerOfNamesItGives) {
    for (const unsigned long id : {0UL, 4UL, 1234UL, 65536UL, 4294967295UL}) {
        for (const unsigned long long started : {0ULL, 1ULL, 0x01dc6a1b2c3d4e5fULL, ~0ULL}) {
            EXPECT_EQ(Printed(OwnerOfTemporary(TemporaryFileName(id, started))), Printed(TemporaryOwner{id, started}))
                << "id " << id << ", started " << started;
        }
    }
}

// Temporaries that earlier versions wrote carry no start time; they are still ours.
TEST(TemporaryName, ReadsTheNamesOfEarlierVersions) {
    EXPECT_EQ(Printed(OwnerOfTemporary(L"~Tavro1234.tmp")), Printed(TemporaryOwner{1234, std::nullopt}));
    EXPECT_EQ(Printed(OwnerOfTemporary(L"~Tavro4294967295.tmp")), Printed(TemporaryOwner{4294967295UL, std::nullopt}));
}

TEST(TemporaryName, ReadsNothingFromOtherNames) {
    const wchar_t* others[] = {
        L"~Tavro.tmp",
        L"~Tavro12",
        L"Tavro12.tmp",
        L"~tavro12.tmp",
        L"~Tavro12.TMP",
        L"~Tavro012.tmp",
        L"~Tavro-12.tmp",
        L"~Tavro1 2.tmp",
        L"~Tavro12.tmp.tmp",
        L"~Tavro\uFF11.tmp",
        L"~Tavro4294967296.tmp",
        L"~Tavro99999999999.tmp",
        L"x~Tavro12.tmp",
        L"~Tavro12.tmpx",
        L"~Tavro12-.tmp",
        L"~Tavro12-01dc6a1b2c3d4e5.tmp",    // fifteen digits
        L"~Tavro12-01dc6a1b2c3d4e5f0.tmp",  // seventeen
        L"~Tavro12-01DC6A1B2C3D4E5F.tmp",   // upper case, which TemporaryFileName never writes
        L"~Tavro12-01dc6a1b2c3d4e5g.tmp",
        L"~Tavro12-01dc6a1b2c3d4e5f-1.tmp",
        L"~Tavro-01dc6a1b2c3d4e5f.tmp",
        L"",
    };
    for (const wchar_t* name : others) {
        EXPECT_EQ(Printed(OwnerOfTemporary(name)), "none") << ::testing::PrintToString(std::wstring(name));
    }
}

}  // namespace
}  // namespace tavro
