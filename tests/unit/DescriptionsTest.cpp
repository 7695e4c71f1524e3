#include "window/Descriptions.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace tavro {
namespace {

struct Described {
    const char* object;
    const PictureSentence& sentence;
};

const Described kDescribed[] = {
    {"TavroForm", kFormDescription},
    {"CopyCommand", kCopyCommandDescription},
    {"StartUpCommand", kStartUpCommandDescription},
    {"close", kCloseDescription},
};

// A screen reader gets the picture's lines as one sentence: each line in order, nothing between
// them, no line break, and no line left out behind an empty one.
TEST(Descriptions, JoinThePictureLinesWithoutABreak) {
    for (const Described& described : kDescribed) {
        SCOPED_TRACE(described.object);
        std::wstring expected;
        bool ended = false;
        for (const wchar_t* line : described.sentence.lines) {
            if (line == nullptr) {
                ended = true;
                continue;
            }
            EXPECT_FALSE(ended) << "a line after an empty one";
            EXPECT_GT(std::wcslen(line), 0u);
            expected += line;
        }
        const std::wstring joined = described.sentence.Joined();
        EXPECT_EQ(joined, expected);
        EXPECT_EQ(joined.find_first_of(L"\r\n"), std::wstring::npos) << joined;
        EXPECT_FALSE(joined.empty());
    }
}

}  // namespace
}  // namespace tavro
