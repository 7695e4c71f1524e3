#include <gtest/gtest.h>

#include <cstdio>

// These tests state the artwork's design (sizes, colours, places, texts) on their own, apart from
// the generator, so a change to tools/artgen fails them until the same fact is changed here. A
// failing run says so, so that whoever changed a picture on purpose knows where to follow.
namespace {

class DesignFactsNote : public testing::EmptyTestEventListener {
    void OnTestProgramEnd(const testing::UnitTest& unit) override {
        if (unit.failed_test_count() > 0) {
            std::printf(
                "note: tests/art states the artwork's design facts independently of tools/artgen. If you changed "
                "a picture on purpose (README, \"Changing a picture\"), change the fact that failed above in "
                "tests/art to match; if not, the generator or resources/ drifted.\n");
        }
    }
};

const bool kRegistered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new DesignFactsNote);
    return true;
}();

}  // namespace
