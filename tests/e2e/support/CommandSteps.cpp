#include "support/CommandSteps.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "support/Input.h"
#include "support/MessageBoxReader.h"
#include "support/Session.h"
#include "support/Text.h"
#include "support/TopWindows.h"
#include "support/Wait.h"

namespace e2e::command {
namespace {

constexpr const wchar_t* kMainClass = L"TavroForm";
constexpr std::chrono::milliseconds kAnswerBound{5000};
constexpr int kOkClicks = 3;

bool IsMainWindow(HWND window) {
    return ClassNameOf(window) == kMainClass;
}

std::string VisibleWindowsOf(DWORD processId) {
    std::vector<WindowInfo> shown;
    for (HWND w : TopLevelWindowsOf(processId)) {
        if (IsWindowVisible(w)) {
            shown.push_back(Describe(w));
        }
    }
    return ToString(shown);
}

std::string DescribeRect(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

// Where the input stood, for a click that did not take.
std::string DescribeInputState(HWND button) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    RECT rect = {};
    GetWindowRect(button, &rect);
    const HWND foreground = GetForegroundWindow();
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(button, nullptr), &info);
    DWORD_PTR state = 0;
    const bool pressed = SendMessageTimeoutW(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 1000, &state) != 0 &&
                         (state & BST_PUSHED) != 0;
    return "cursor at (" + std::to_string(cursor.x) + ", " + std::to_string(cursor.y) + "), OK at " +
           DescribeRect(rect) + ", foreground " +
           (foreground != nullptr ? ToString(Describe(foreground)) : std::string("none")) + ", capture " +
           (info.hwndCapture != nullptr ? ToString(Describe(info.hwndCapture)) : std::string("none")) + ", OK " +
           (pressed ? "held down" : "up");
}

}  // namespace

HWND WaitForMainWindow(DWORD processId, std::chrono::milliseconds timeout) {
    return WaitForVisibleWindow(processId, timeout, IsMainWindow);
}

HWND WaitForAnyMainWindow(std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    PollUntil(
        [&] {
            found = FindWindowW(kMainClass, nullptr);
            return found != nullptr && IsWindowVisible(found);
        },
        timeout);
    return found != nullptr && IsWindowVisible(found) ? found : nullptr;
}

void StartWithWindow(const LaunchOptions& options, StartedProcess* process, HWND* window) {
    std::string error;
    *process = StartedProcess::Start(options, &error);
    ASSERT_TRUE(*process) << error;
    *window = WaitForMainWindow(process->Id(), kStartBound);
    ASSERT_NE(*window, nullptr)
        << "expected the main window within " << kStartBound.count()
        << " ms; windows now: " << VisibleWindowsOf(process->Id())
        << (process->IsRunning()
                ? ""
                : " (the process has ended, exit code " +
                      std::to_string(process->WaitForExit(std::chrono::milliseconds(0)).value_or(0)) + ")");
}

void ClickCommand(HWND window, int controlId) {
    const HWND button = GetDlgItem(window, controlId);
    ASSERT_NE(button, nullptr) << "no child with control id " << controlId;
    ASSERT_EQ(Utf8(ClassNameOf(button)), "Button") << "class of control " << controlId;
    ASSERT_TRUE(IsWindowVisible(button) && IsWindowEnabled(button)) << "control " << controlId << " is not clickable";
    std::string error;
    RECT rect = {};
    GetWindowRect(button, &rect);
    ASSERT_TRUE(ClickCentre(button, &error))
        << "click on control " << controlId << " at " << DescribeRect(rect) << ": " << error;
}

void ExpectCopyAnswer(DWORD processId, HWND window, const std::wstring& text) {
    std::wstring shown;
    ASSERT_NO_FATAL_FAILURE(ReadCopyAnswer(processId, window, &shown));
    EXPECT_EQ(Utf8(shown), Utf8(text)) << "text";
}

void ReadCopyAnswer(DWORD processId, HWND window, std::wstring* text) {
    const HWND box = WaitForMessageBox(processId, kAnswerBound);
    ASSERT_NE(box, nullptr) << "expected a message box within " << kAnswerBound.count()
                            << " ms; visible windows now: " << VisibleWindowsOf(processId);
    const MessageBoxContents contents = ReadMessageBox(box);
    EXPECT_EQ(Utf8(contents.title), "Tavro") << "title";
    *text = contents.text;
    EXPECT_FALSE(contents.hasIcon) << "expected no icon; " << ToString(contents.icon) << ": " << contents.iconDetail;
    std::string buttons;
    for (const std::wstring& caption : contents.buttons) {
        buttons += (buttons.empty() ? "\"" : ", \"") + Utf8(caption) + "\"";
    }
    ASSERT_EQ(buttons, "\"OK\"") << "buttons";

    // Now and then (about once in a hundred boxes, seen under code page 932) a real click on OK
    // does not reach the box; a user clicks again, and so do we, saying so.
    const HWND ok = contents.buttonHandles.front();
    const auto gone = [box] { return !IsWindow(box) || !IsWindowVisible(box); };
    std::string error;
    std::string missed;
    for (int click = 1; click <= kOkClicks && !gone(); ++click) {
        if (click > 1) {
            missed += (missed.empty() ? "" : "; ") + DescribeInputState(ok);
        }
        ASSERT_TRUE(ClickCentre(ok, &error) || gone()) << "click " << click << " on OK: " << error;
        PollUntil(gone, kAnswerBound / kOkClicks);
    }
    ASSERT_TRUE(gone()) << "the message box was still up after " << kOkClicks << " clicks on OK; " << missed << "; "
                        << DescribeInputState(ok);
    if (!missed.empty()) {
        std::printf("note: OK needed more than one click; after a click that did nothing: %s\n", missed.c_str());
    }

    ASSERT_TRUE(IsWindow(window)) << "the main window is gone after OK; visible windows: "
                                  << VisibleWindowsOf(processId);
    EXPECT_TRUE(IsWindowVisible(window)) << "the main window is hidden after OK";
    // The owner is enabled again as the box's modal loop ends, which may trail its hiding a moment.
    EXPECT_TRUE(PollUntil([window] { return IsWindowEnabled(window) != FALSE; }, kAnswerBound))
        << "the main window was still disabled " << kAnswerBound.count() << " ms after OK";
    std::vector<HWND> visible;
    for (HWND w : TopLevelWindowsOf(processId)) {
        if (IsWindowVisible(w)) {
            visible.push_back(w);
        }
    }
    EXPECT_TRUE(visible.size() == 1 && visible.front() == window)
        << "expected the main window alone; visible windows: " << VisibleWindowsOf(processId);
}

void CopyExpecting(DWORD processId, HWND window, const std::wstring& text) {
    ASSERT_NO_FATAL_FAILURE(ClickCommand(window, kCopy));
    ASSERT_NO_FATAL_FAILURE(ExpectCopyAnswer(processId, window, text));
}

}  // namespace e2e::command
