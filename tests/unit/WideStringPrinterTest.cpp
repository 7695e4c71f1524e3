#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A failing comparison of Japanese texts must show the texts, not \x escapes.
TEST(WideStringPrinter, PrintsJapaneseAsUtf8) {
    EXPECT_EQ(testing::PrintToString(std::wstring(L"番号を今一度お確かめ下さい。")),
              "L\"\u756a\u53f7\u3092\u4eca\u4e00\u5ea6\u304a\u78ba\u304b\u3081\u4e0b\u3055\u3044\u3002\"");
    EXPECT_EQ(testing::PrintToString(std::vector<std::wstring>{L"ソ", L"a"}), "{ L\"\u30bd\", L\"a\" }");
}

TEST(WideStringPrinter, EscapesQuotesBackslashesAndControls) {
    EXPECT_EQ(testing::PrintToString(std::wstring(L"C:\\a \"b\"\n\x7f")), R"(L"C:\\a \"b\"\x0A\x7F")");
}

// The comparison message itself, as a reader of a failed test sees it.
TEST(WideStringPrinter, FailureMessageShowsBothTexts) {
    const testing::AssertionResult result =
        testing::internal::EqHelper::Compare("expected", "actual", std::wstring(L"コピー"), std::wstring(L"x"));
    ASSERT_FALSE(result);
    EXPECT_NE(std::string(result.message()).find("L\"\u30b3\u30d4\u30fc\""), std::string::npos) << result.message();
}

}  // namespace
