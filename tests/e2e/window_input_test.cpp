// Using Tavro's main window with the real keyboard and mouse: focus, the three buttons, and what
// each one does.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ButtonPixels.h"
#include "support/Capture.h"
#include "support/FileCompare.h"
#include "support/Folders.h"
#include "support/Input.h"
#include "support/Tavro.h"
#include "support/Text.h"
#include "support/UrlLog.h"
#include "support/Wait.h"

namespace {

using e2e::Utf8;

constexpr const wchar_t* kFileName = L"Tavro_12345.exe";
constexpr const wchar_t* kNumber = L"12345";

class WindowInput : public testing::Test {
  protected:
    void SetUp() override { e2e::ClearReceivedUrls(); }

    void Start(const std::wstring& fileName = kFileName) {
        ASSERT_NO_FATAL_FAILURE(e2e::StartFromDownloads(fileName, &main_));
    }

    void Press(std::initializer_list<WORD> chord) {
        std::string error;
        ASSERT_TRUE(e2e::PressKeys(main_.window, chord, &error)) << error;
    }

    void ExpectFocus(HWND expected, const std::string& after) {
        const HWND focus = e2e::WaitForFocus(main_.threadId, expected);
        EXPECT_EQ(e2e::NameOf(main_, focus), e2e::NameOf(main_, expected)) << "focus after " << after;
    }

    // So that a copy found afterwards can only come from this run.
    void ExpectNoDesktopCopy() {
        const std::wstring copy = e2e::DesktopFolder() + L"\\" + kFileName;
        DeleteFileW(copy.c_str());
        ASSERT_FALSE(e2e::FileExists(copy)) << "cannot clear " << Utf8(copy);
    }

    // The copy's confirmation, answered with a real click on OK; the copy is the program, and the
    // window stays.
    void ExpectCopiedToDesktop() {
        ASSERT_NO_FATAL_FAILURE(e2e::AnswerBox(main_.process.Id(), e2e::kCopiedBox));
        EXPECT_EQ(e2e::CompareFiles(e2e::DesktopFolder() + L"\\" + kFileName, main_.program), "")
            << "the desktop copy against the running file";
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectWindowStays(main_));
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectStillWaiting(main_, "OK on the copy's message box"));
    }

    e2e::MainWindow main_;
};

class WindowFocus : public WindowInput {};
class WindowKeyboard : public WindowInput {};
class WindowMouse : public WindowInput {
  protected:
    void ReleaseAwayFromEachButton();
    void HoldStartUpCommandAndMoveOff();
    void LeaveCloseAndComeBack();
};

// The focus starts on CopyCommand in the active window, and Tab and Shift+Tab go round the three
// buttons in both directions.
TEST_F(WindowFocus, StartsOnCopyCommandAndTabGoesRoundBothWays) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ExpectFocus(main_.copy, "start");
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(main_.threadId, &info));
    EXPECT_EQ(e2e::NameOf(main_, info.hwndActive), "the main window") << "active window";

    const HWND forward[] = {main_.startUp, main_.close, main_.copy, main_.startUp};
    for (std::size_t i = 0; i < std::size(forward); ++i) {
        ASSERT_NO_FATAL_FAILURE(Press({VK_TAB}));
        ExpectFocus(forward[i], std::to_string(i + 1) + " x Tab");
    }
    const HWND backward[] = {main_.copy, main_.close, main_.startUp, main_.copy};
    for (std::size_t i = 0; i < std::size(backward); ++i) {
        ASSERT_NO_FATAL_FAILURE(Press({VK_SHIFT, VK_TAB}));
        ExpectFocus(backward[i], std::to_string(i + 1) + " x Shift+Tab after them");
    }
}

// Each button from the keyboard: Space right after the start copies, Space on close ends, Enter on
// StartUpCommand opens the site.
TEST_F(WindowKeyboard, EachButton) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ExpectNoDesktopCopy());
    ASSERT_NO_FATAL_FAILURE(Press({VK_SPACE}));
    ASSERT_NO_FATAL_FAILURE(ExpectCopiedToDesktop());
    ExpectFocus(main_.copy, "the copy's message box");
    ASSERT_NO_FATAL_FAILURE(Press({VK_TAB}));
    ASSERT_NO_FATAL_FAILURE(Press({VK_TAB}));
    ExpectFocus(main_.close, "Tab Tab");
    ASSERT_NO_FATAL_FAILURE(e2e::ExpectEnds(main_, [&] { ASSERT_NO_FATAL_FAILURE(Press({VK_SPACE})); }));

    e2e::ClearReceivedUrls();
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Press({VK_TAB}));
    ExpectFocus(main_.startUp, "Tab");
    ASSERT_NO_FATAL_FAILURE(e2e::ExpectEnds(
        main_, [&] { ASSERT_NO_FATAL_FAILURE(Press({VK_RETURN})); }, kNumber));
}

// Each button clicked: CopyCommand copies and the window stays, StartUpCommand then opens the site
// and ends; without a number StartUpCommand warns and ends. (Close: CloseWindow.)
TEST_F(WindowMouse, EachButton) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ExpectNoDesktopCopy());
    ASSERT_NO_FATAL_FAILURE(e2e::Click(main_, e2e::kCopyCommandId));
    ASSERT_NO_FATAL_FAILURE(ExpectCopiedToDesktop());
    ASSERT_NO_FATAL_FAILURE(e2e::ExpectEnds(
        main_, [&] { ASSERT_NO_FATAL_FAILURE(e2e::Click(main_, e2e::kStartUpCommandId)); }, kNumber));

    e2e::ClearReceivedUrls();
    ASSERT_NO_FATAL_FAILURE(Start(L"Tavro_.exe"));
    ASSERT_NO_FATAL_FAILURE(e2e::Click(main_, e2e::kStartUpCommandId));
    ASSERT_NO_FATAL_FAILURE(e2e::AnswerNumberWarning(main_.process));
}

// A press that the user takes back by moving off the button before releasing does nothing.
void WindowMouse::ReleaseAwayFromEachButton() {
    const struct {
        const char* name;
        HWND button;
    } buttons[] = {{"StartUpCommand", main_.startUp}, {"close", main_.close}, {"CopyCommand", main_.copy}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.name);
        // Just below the button, over the background.
        const RECT r = e2e::RectInParent(b.button);
        const POINT away = e2e::ClientToScreenPoint(main_.window, {(r.left + r.right) / 2, r.bottom + 12});
        ASSERT_EQ(WindowFromPoint(away), main_.window) << "the release point must lie on the window, off any button";
        std::string error;
        ASSERT_TRUE(e2e::PressAndReleaseAway(b.button, away, &error)) << error;
        ASSERT_NO_FATAL_FAILURE(
            e2e::ExpectStillWaiting(main_, std::string("pressing ") + b.name + " and releasing away"));
    }
}

// While held, a button shows its pressed face one pixel down and right in a pushed frame; moved
// off, it shows its plain face again.
void WindowMouse::HoldStartUpCommandAndMoveOff() {
    e2e::ButtonLook look;
    look.name = "StartUpCommand";
    look.rect = e2e::RectInParent(main_.startUp);
    look.whiteIsTransparent = true;
    look.back = e2e::FromColorRef(GetSysColor(COLOR_BTNHIGHLIGHT));
    std::string error;
    e2e::Pixels plainFace;
    ASSERT_TRUE(e2e::LoadBitmapFile(e2e::ResourcePath(L"order_face_pressed.bmp"), &look.face, &error)) << error;
    ASSERT_TRUE(e2e::LoadBitmapFile(e2e::ResourcePath(L"order_face.bmp"), &plainFace, &error)) << error;

    const auto expectShown = [&](const e2e::ButtonLook& wanted, const char* state) {
        e2e::Pixels shown;
        e2e::PollUntil(
            [&] {
                return e2e::CaptureClient(main_.window, &shown, &error) &&
                       e2e::CompareButton(shown, wanted).Clean(wanted.focused);
            },
            std::chrono::milliseconds(3000), std::chrono::milliseconds(50));
        const e2e::ButtonDiffs diffs = e2e::CompareButton(shown, wanted);
        EXPECT_TRUE(diffs.Clean(wanted.focused)) << state << ":\n" << diffs.Report();
    };

    ASSERT_TRUE(e2e::PressLeftAt(main_.startUp, e2e::ClientCentre(main_.startUp), &error)) << error;
    look.pushed = true;
    look.focused = true;  // a pressed button takes the focus
    ExpectFocus(main_.startUp, "pressing StartUpCommand");
    expectShown(look, "held");

    const RECT r = look.rect;
    const POINT away = e2e::ClientToScreenPoint(main_.window, {(r.left + r.right) / 2, r.bottom + 12});
    ASSERT_TRUE(e2e::MoveHeldMouseTo(main_.startUp, away, &error)) << error;
    look.pushed = false;
    look.face = plainFace;
    expectShown(look, "held, moved off the button");

    ASSERT_TRUE(e2e::ReleaseLeftAt(main_.startUp, away, &error)) << error;
    ASSERT_NO_FATAL_FAILURE(e2e::ExpectStillWaiting(main_, "releasing away from StartUpCommand"));
}

// As with the system's buttons, a press that leaves the button and comes back is still a press:
// the pushed state follows the mouse, and the release over the button runs its command.
void WindowMouse::LeaveCloseAndComeBack() {
    const auto pushed = [&] {
        DWORD_PTR state = 0;
        return SendMessageTimeoutW(main_.close, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 1000, &state) != 0 &&
               (state & BST_PUSHED) != 0;
    };
    // Under Wine a synthetic move now and then reaches the window without the held button in its
    // key state, and a button rightly ignores such a move; so a move is repeated, a pixel further
    // each time, until the state follows or the attempts run out.
    std::string error;
    const auto moveHeldUntil = [&](POINT to, bool wantPushed) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (!e2e::MoveHeldMouseTo(main_.close, {to.x + attempt, to.y}, &error)) {
                return false;
            }
            if (e2e::PollUntil([&] { return pushed() == wantPushed; }, std::chrono::milliseconds(600))) {
                return true;
            }
        }
        return false;
    };
    const POINT centre = e2e::ClientCentre(main_.close);
    const POINT centreOnScreen = e2e::ClientToScreenPoint(main_.close, centre);
    ASSERT_TRUE(e2e::PressLeftAt(main_.close, centre, &error)) << error;
    ExpectFocus(main_.close, "pressing close");
    EXPECT_TRUE(moveHeldUntil(centreOnScreen, true)) << "not pushed while held over the button " << error;

    const RECT r = e2e::RectInParent(main_.close);
    const POINT away = e2e::ClientToScreenPoint(main_.window, {(r.left + r.right) / 2, r.top - 12});
    EXPECT_TRUE(moveHeldUntil(away, false)) << "still pushed with the mouse off the button " << error;
    EXPECT_TRUE(moveHeldUntil(centreOnScreen, true)) << "not pushed again with the mouse back over it " << error;

    ASSERT_NO_FATAL_FAILURE(
        e2e::ExpectEnds(main_, [&] { ASSERT_TRUE(e2e::ReleaseLeftAt(main_.close, centreOnScreen, &error)) << error; }));
}

// Presses taken back, one after another in one window: they do nothing, and show as they should
// while held; the last comes back over close, and its release ends the program.
TEST_F(WindowMouse, PressesTakenBackAndBroughtBack) {
    ASSERT_NO_FATAL_FAILURE(Start());
    {
        SCOPED_TRACE("released away from each button");
        ASSERT_NO_FATAL_FAILURE(ReleaseAwayFromEachButton());
    }
    {
        SCOPED_TRACE("StartUpCommand held, then moved off");
        ASSERT_NO_FATAL_FAILURE(HoldStartUpCommandAndMoveOff());
    }
    SCOPED_TRACE("close held, moved off and back, released");
    ASSERT_NO_FATAL_FAILURE(LeaveCloseAndComeBack());
}

}  // namespace
