#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "launcher/CopyMarkers.h"
#include "launcher/FileNumber.h"

namespace tavro {
namespace {

using ::testing::PrintToString;

struct MarkedName {
    const wchar_t* name;
    const wchar_t* withoutMarkers;
    const wchar_t* number;
};

const MarkedName kMarkedNames[] = {
    // Each marker alone.
    {L"Tavro_12345 (1)", L"Tavro_12345", L"12345"},                   // Chrome, Edge
    {L"Tavro_12345 (100)", L"Tavro_12345", L"12345"},                 //
    {L"Tavro_12345(1)", L"Tavro_12345", L"12345"},                    // Firefox
    {L"Tavro_12345(9999)", L"Tavro_12345", L"12345"},                 // four digits at most
    {L"Tavro_12345 - Copy", L"Tavro_12345", L"12345"},                // Explorer, English
    {L"Tavro_12345 - \u30B3\u30D4\u30FC", L"Tavro_12345", L"12345"},  // Explorer, Japanese
    // Stacked.
    {L"Tavro_12345 - Copy (2)", L"Tavro_12345", L"12345"},                //
    {L"Tavro_12345 - \u30B3\u30D4\u30FC (2)", L"Tavro_12345", L"12345"},  //
    {L"Tavro_12345 (1) - \u30B3\u30D4\u30FC", L"Tavro_12345", L"12345"},  //
    {L"Tavro_12345 (1) - Copy - Copy (3)(4)", L"Tavro_12345", L"12345"},  //
    {L"Tavro_12345 (1) (2)", L"Tavro_12345", L"12345"},                   //
    // Markers on names without "_", or whose only digits sit in the marker.
    {L"Tavro9x (1)", L"Tavro9x", L"9"},     //
    {L"Tavro9x - Copy", L"Tavro9x", L"9"},  //
    {L"Tavro_ (2)", L"Tavro_", L""},        // the warning
    {L"Tavro (2)", L"Tavro", L""},          // the warning
    {L"Tavro_(7)", L"Tavro_", L""},         // the warning
    {L"(1)", L"", L""},                     //
    // Not markers, or not at the very end: they stay, and so do their digits.
    {L"Tavro_(7)12", L"Tavro_(7)12", L"712"},                                          //
    {L"Tavro_12345 (12345)", L"Tavro_12345 (12345)", L"1234512345"},                   // five digits
    {L"Tavro_12345 ()", L"Tavro_12345 ()", L"12345"},                                  //
    {L"Tavro_12345 (1) ", L"Tavro_12345 (1) ", L"123451"},                             // ends in a space
    {L"Tavro_12345 (1).v2", L"Tavro_12345 (1).v2", L"1234512"},                        //
    {L"Tavro_12345 (x1)", L"Tavro_12345 (x1)", L"123451"},                             //
    {L"Tavro_12345 \uFF08\uFF11\uFF09", L"Tavro_12345 \uFF08\uFF11\uFF09", L"12345"},  // full-width
    {L"Tavro_12345 (\uFF11)", L"Tavro_12345 (\uFF11)", L"12345"},                      // full-width digit
    {L"Tavro_12345 - copy", L"Tavro_12345 - copy", L"12345"},                          // case counts
    {L"Tavro_12345-Copy", L"Tavro_12345-Copy", L"12345"},                              //
    {L"Tavro_12345 - Copy 2", L"Tavro_12345 - Copy 2", L"123452"},                     //
    {L"Tavro_12 - Copy (1) x", L"Tavro_12 - Copy (1) x", L"121"},                      //
    // The rules that stay as they were.
    {L"9_8 (1)", L"9_8", L"8"},                               // digits before "_" never count
    {L"a_1_23 (4)", L"a_1_23", L"123"},                       // joined across "_"
    {L"Tavro_\uFF11\uFF12 (3)", L"Tavro_\uFF11\uFF12", L""},  // full-width digits never count
};

TEST(CopyMarkers, AreRemovedFromTheEndBeforeTheDigitsAreTaken) {
    for (const MarkedName& c : kMarkedNames) {
        SCOPED_TRACE(::testing::Message() << "name " << PrintToString(std::wstring(c.name)));
        EXPECT_EQ(std::wstring(WithoutCopyMarkers(c.name)), std::wstring(c.withoutMarkers));
        EXPECT_EQ(FileNumberFromProgramName(c.name), std::wstring(c.number));
    }
}

// Pieces of generated names: the characters the rules care about, their full-width look-alikes,
// and the markers' own words, whole and in parts.
const std::vector<std::wstring> kPieces = {
    L"0",
    L"1",
    L"5",
    L"9",
    L"a",
    L"T",
    L"x",
    L"_",
    L"_",
    L" ",
    L"(",
    L")",
    L"-",
    L" - ",
    L"Copy",
    L" - Copy",
    L"\u30B3\u30D4\u30FC",
    L" - \u30B3\u30D4\u30FC",
    L"\uFF11",
    L"\uFF3F",
    L"\uFF08",
    L"\uFF09",
    L"(12)",
    L" (3)",
    L"(12345)",
};

std::wstring GeneratedMarker(std::mt19937& random) {
    switch (random() % 4) {
        case 0:
            return L" - Copy";
        case 1:
            return L" - \u30B3\u30D4\u30FC";
        default: {
            std::wstring number;
            const unsigned digits = 1 + random() % 4;
            for (unsigned i = 0; i < digits; ++i) {
                number.push_back(static_cast<wchar_t>(L'0' + random() % 10));
            }
            return (random() % 2 == 0 ? L" (" : L"(") + number + L")";
        }
    }
}

// True when every character of part occurs in whole, in the same order.
bool IsSubsequence(const std::wstring& part, const std::wstring& whole) {
    std::size_t at = 0;
    for (const wchar_t c : whole) {
        if (at < part.size() && part[at] == c) {
            ++at;
        }
    }
    return at == part.size();
}

TEST(CopyMarkers, GeneratedNames) {
    constexpr unsigned kSeed = 20261208;
    constexpr int kNames = 5000;
    std::mt19937 random(kSeed);
    for (int i = 0; i < kNames; ++i) {
        std::wstring name;
        // Mostly short names; now and then a long one.
        const std::size_t pieces = i % 100 == 0 ? 2000 : random() % 24;
        for (std::size_t p = 0; p < pieces; ++p) {
            name += kPieces[random() % kPieces.size()];
        }

        const std::wstring number = FileNumberFromProgramName(name);
        ASSERT_TRUE(std::all_of(number.begin(), number.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
            << "seed " << kSeed << ", name " << i << ": " << PrintToString(name) << " gave " << PrintToString(number);
        ASSERT_TRUE(IsSubsequence(number, name))
            << "seed " << kSeed << ", name " << i << ": " << PrintToString(name) << " gave " << PrintToString(number)
            << ", whose digits are not in the name in that order";

        std::wstring marked = name;
        const unsigned markers = 1 + random() % 4;
        for (unsigned m = 0; m < markers; ++m) {
            std::wstring marker = GeneratedMarker(random);
            // After a name that ends in a space, "(N)" reads as " (N)" after the name without that
            // space: one text, two readings, and the rules take the browser's. A browser never
            // adds the bare "(N)" there, so neither does this check.
            if (m == 0 && !name.empty() && name.back() == L' ' && marker.front() == L'(') {
                marker.insert(0, L" ");
            }
            marked += marker;
        }
        ASSERT_EQ(FileNumberFromProgramName(marked), number)
            << "seed " << kSeed << ", name " << i << ": " << PrintToString(name) << " with its markers "
            << PrintToString(marked);
    }
}

TEST(CopyMarkers, ManyStackedMarkersOnALongName) {
    const std::wstring digits(5000, L'7');
    std::wstring name = L"Tavro_" + digits + L")";  // a run of digits too long to be a copy number
    for (int i = 0; i < 20000; ++i) {
        name += i % 3 == 0 ? L" - Copy" : (i % 3 == 1 ? L" (9999)" : L"(1)");
    }
    EXPECT_EQ(FileNumberFromProgramName(name), digits);
}

}  // namespace
}  // namespace tavro
