// Every way of closing the window, as a user or the system closes it. Clicks and keys are real
// input.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "support/Input.h"
#include "support/Tavro.h"
#include "support/Text.h"
#include "support/TopWindows.h"
#include "support/UrlLog.h"
#include "support/WindowMenu.h"

namespace {

// Where the window says its close box is: asked along the middle of the title bar, then up and
// down through the middle of what answered HTCLOSE.
POINT CloseBoxCentre(HWND window) {
    RECT frame = {};
    GetWindowRect(window, &frame);
    POINT clientOrigin = {0, 0};
    ClientToScreen(window, &clientOrigin);
    const auto isCloseBox = [window](LONG x, LONG y) {
        DWORD_PTR hit = 0;
        return SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit) &&
               hit == HTCLOSE;
    };
    const LONG titleMiddle = (frame.top + clientOrigin.y) / 2;
    LONG left = LONG_MAX;
    LONG right = LONG_MIN;
    for (LONG x = std::max(frame.left, frame.right - 120); x < frame.right; ++x) {
        if (isCloseBox(x, titleMiddle)) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    if (left > right) {
        return {-1, -1};
    }
    const LONG x = (left + right) / 2;
    LONG top = LONG_MAX;
    LONG bottom = LONG_MIN;
    for (LONG y = frame.top; y < clientOrigin.y; ++y) {
        if (isCloseBox(x, y)) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return {x, (top + bottom) / 2};
}

void ClickCloseBox(const e2e::MainWindow& main) {
    const POINT box = CloseBoxCentre(main.window);
    ASSERT_NE(box.x, -1) << "the title bar has no close box (no point answers HTCLOSE)";
    POINT client = box;
    ScreenToClient(main.window, &client);
    std::string error;
    ASSERT_TRUE(e2e::ClickClientPoint(main.window, client, &error)) << "click on the close box: " << error;
}

// Alt+Space opens the window menu; C picks Close ("&Close", and "閉じる(&C)" in Japanese).
void CloseThroughTheWindowMenu(const e2e::MainWindow& main) {
    std::string error;
    ASSERT_TRUE(e2e::OpenWindowMenu(main.window, &error)) << "Alt+Space: " << error;
    const HWND menu = e2e::WaitForVisibleWindow(main.process.Id(), std::chrono::seconds(3), e2e::IsVisibleMenu);
    ASSERT_NE(menu, nullptr) << "the window menu did not open after Alt+Space";
    ASSERT_TRUE(e2e::PressKey(main.window, 'C', &error)) << "C: " << error;
}

// Windows ending the session asks first, then tells the window the session ends.
void EndTheSession(const e2e::MainWindow& main) {
    DWORD_PTR allowed = 0;
    const LRESULT answered =
        SendMessageTimeoutW(main.window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 2000, &allowed);
    if (answered != 0) {
        EXPECT_NE(allowed, 0u) << "the program refused to let the session end";
    }
    if (IsWindow(main.window)) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(main.window, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    }
}

// Every way of closing the window ends the program at once: nothing shown, nothing opened. One
// start a way, all in one prefix.
TEST(CloseWindow, EveryWayEndsTheProgram) {
    struct Way {
        const char* what;
        std::function<void(const e2e::MainWindow&)> close;
        const wchar_t* allowedClass;  // a window that may show on the way (the window menu)
    };
    const Way ways[] = {
        {"the close button", [](const e2e::MainWindow& main) { e2e::Click(main, e2e::kCloseId); }, L""},
        {"a click on the close box", ClickCloseBox, L""},
        // What the close box sends, for systems where it is drawn by someone else.
        {"the close box's command",
         [](const e2e::MainWindow& main) {
             ASSERT_TRUE(PostMessageW(main.window, WM_SYSCOMMAND, SC_CLOSE, 0)) << e2e::DescribeError(GetLastError());
         },
         L""},
        {"Close on the window menu", CloseThroughTheWindowMenu, e2e::kMenuClass},
        {"Alt+F4",
         [](const e2e::MainWindow& main) {
             std::string error;
             ASSERT_TRUE(e2e::PressKeys(main.window, {VK_MENU, VK_F4}, &error)) << "Alt+F4: " << error;
         },
         L""},
        {"the session ending", EndTheSession, L""},
    };
    int start = 0;
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        e2e::ClearReceivedUrls();
        e2e::MainWindow main;
        // A file of its own each time: no start waits for the last one's file to be let go.
        ASSERT_NO_FATAL_FAILURE(e2e::StartFromDownloads(L"Tavro_" + std::to_wstring(++start) + L".exe", &main));
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectEnds(
            main, [&] { way.close(main); }, L"", way.allowedClass));
    }
}

}  // namespace
