#include <gtest/gtest.h>

#include <string>

#include "window/WorkArea.h"

namespace tavro {
namespace {

std::string Printed(const ScreenBox& box) {
    return std::to_string(box.left) + "," + std::to_string(box.top) + " - " + std::to_string(box.right) + "," +
           std::to_string(box.bottom);
}

TEST(WorkArea, OnlyTheScalesOfAMonitorAreTaken) {
    struct Row {
        unsigned long long dpi;
        bool taken;
    };
    const Row rows[] = {
        {0, false},
        {1, false},
        {95, false},
        {96, true},
        {120, true},
        {144, true},
        {480, true},
        {481, false},
        {9000, false},
        {0x7fffffffULL, false},
        {0x1000000060ULL, false},  // 96 in its low bits: no truncation may turn it into a scale
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsDpiOfAMonitor(row.dpi), row.taken) << "dpi " << row.dpi;
    }
}

TEST(WorkArea, WindowIsMovedOntoTheWorkAreaWithItsSizeKept) {
    const ScreenBox work{0, 0, 1024, 728};  // a taskbar of 40 pixels at the bottom
    struct Row {
        const char* what;
        ScreenBox window;
        ScreenBox expected;
    };
    const Row rows[] = {
        {"on it already", {100, 100, 634, 410}, {100, 100, 634, 410}},
        {"off to the right", {5000, 100, 5534, 410}, {490, 100, 1024, 410}},
        {"off to the left and above", {-3000, -900, -2466, -590}, {0, 0, 534, 310}},
        {"below, under the taskbar", {100, 700, 634, 1010}, {100, 418, 634, 728}},
        {"wider and taller than the work area", {300, 200, 1600, 1000}, {0, 0, 1300, 800}},
        {"larger, off to the left", {-5000, 50, -3700, 850}, {0, 0, 1300, 800}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Printed(PlacedOnWorkArea(row.window, work)), Printed(row.expected)) << row.what;
    }
}

TEST(WorkArea, WorkAreaOfAMonitorElsewhere) {
    const ScreenBox work{-1280, 0, -100, 1000};  // a monitor left of the primary one
    EXPECT_EQ(Printed(PlacedOnWorkArea({200, 100, 734, 410}, work)), Printed({-634, 100, -100, 410}));
}

TEST(WorkArea, BoxesWithoutAreaAreLeftAlone) {
    const ScreenBox inverted{634, 410, 100, 100};
    EXPECT_FALSE(HasArea(inverted));
    EXPECT_FALSE(HasArea({100, 100, 100, 410}));
    EXPECT_TRUE(HasArea({100, 100, 101, 101}));
    EXPECT_EQ(Printed(PlacedOnWorkArea(inverted, {0, 0, 1024, 728})), Printed(inverted));
    EXPECT_EQ(Printed(PlacedOnWorkArea({100, 100, 634, 410}, {0, 0, 0, 0})), Printed({100, 100, 634, 410}));
}

}  // namespace
}  // namespace tavro
