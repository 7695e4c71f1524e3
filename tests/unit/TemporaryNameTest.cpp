#include <gtest/gtest.h>

#include <optional>

#include "platform/TemporaryName.h"

namespace tavro {
namespace {

TEST(TemporaryName, IsShortAndCarriesTheProcessId) {
    EXPECT_EQ(TemporaryFileName(1234), L"~Tavro1234.tmp");
    EXPECT_EQ(TemporaryFileName(4294967295UL), L"~Tavro4294967295.tmp");
    // Whatever the destination's name, the temporary needs no more than this.
    EXPECT_LE(TemporaryFileName(4294967295UL).size(), 20u);
}

TEST(TemporaryName, ReadsBackOnlyNamesItGives) {
    for (const unsigned long id : {0UL, 4UL, 1234UL, 65536UL, 4294967295UL}) {
        EXPECT_EQ(ProcessIdOfTemporary(TemporaryFileName(id)), std::optional<unsigned long>(id)) << "id " << id;
    }
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
        L"",
    };
    for (const wchar_t* name : others) {
        EXPECT_EQ(ProcessIdOfTemporary(name), std::nullopt) << ::testing::PrintToString(std::wstring(name));
    }
}

}  // namespace
}  // namespace tavro
