#include <gtest/gtest.h>

#include "launcher/FileNumber.h"
#include "launcher/GateUrl.h"

namespace tavro {
namespace {

struct NameCase {
    const wchar_t* name;
    const wchar_t* expected;
};

const NameCase kNames[] = {
    {L"Tavro_12345", L"12345"},
    {L"Tavro_007", L"007"},              // leading zeros are part of the number
    {L"a_1_23", L"123"},                 // everything after the first underscore
    {L"Tavro9x", L"9"},                  // no underscore: the whole name
    {L"Ta9vro\uFF3F12", L"912"},         // a full-width underscore is not the separator
    {L"9_8", L"8"},                      // digits before the underscore never count
    {L"Tavro_1-2x3", L"123"},            // digits apart are joined
    {L"Tavro_", L""},                    // nothing after the underscore
    {L"_", L""},                         //
    {L"", L""},                          //
    {L"Tavro", L""},                     // no digit anywhere
    {L"Tavro_\uFF11\uFF12\uFF13", L""},  // full-width digits never count
    {L"Tavro_\u0661\u0662", L""},        // nor do other scripts' digits
    {L"Tavro_12 &calc %PATH%", L"12"},   // shell-significant characters are simply dropped
    {L"Tavro_\u00B9\u00B2\u2074", L""},  // superscripts look like digits but are not
    {L"12_3", L"3"},
    {L"12_ab", L""},
    {L"Tavro_1 2 3", L"123"},
    {L"Tavro_12 &calc", L"12"},
    {L"Tavro_%PATH%34%", L"34"},
    {L"Tavro_5^6'(7) & x", L"567"},
};

TEST(FileNumber, TakesTheAsciiDigitsAfterTheFirstUnderscore) {
    for (const NameCase& c : kNames) {
        SCOPED_TRACE(::testing::Message() << "name index " << (&c - kNames));
        EXPECT_EQ(FileNumberFromProgramName(c.name), std::wstring(c.expected));
    }
}

TEST(FileNumber, HasNoLengthLimit) {
    const std::wstring digits(5000, L'7');
    EXPECT_EQ(FileNumberFromProgramName(L"Tavro_" + digits), digits);
}

TEST(LaunchUrl, IsTheGateFollowedByTheNumberUnescaped) {
    const std::wstring expectedGate = L"http://" TAVRO_TEST_WIDE_HOST L"/tavrosite/gate?bn=varnoquill0&ul=mhp?mi=";
    EXPECT_EQ(GateUrl(), expectedGate);
    EXPECT_EQ(LaunchUrl(L"007"), expectedGate + L"007");
}

}  // namespace
}  // namespace tavro
