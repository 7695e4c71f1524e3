#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "launcher/Messages.h"
#include "support/MessageBoxReader.h"
#include "support/Process.h"
#include "window/ControlIds.h"
#include "window/WindowNames.h"

// Tavro as a user meets it: started as a double-click would start it, its window and three buttons,
// real clicks, the message boxes it answers with, the URL the shell received, its end. The window's
// names, control ids and message texts come from the program's own headers; the title its boxes
// bear is the box check's own fact (support/Tavro.cpp). The functions use fatal assertions: call
// them under ASSERT_NO_FATAL_FAILURE.
namespace e2e {

// What the window is, as the program names it (window/WindowNames.h).
inline constexpr const wchar_t* kMainClass = tavro::kFormClass;
inline constexpr const wchar_t* kMainCaption = tavro::kFormCaption;
inline constexpr const wchar_t* kButtonClass = tavro::kButtonClass;

inline constexpr int kCopyCommandId = tavro::kCopyCommandId;
inline constexpr int kStartUpCommandId = tavro::kStartUpCommandId;
inline constexpr int kCloseId = tavro::kCloseId;

// The three boxes the program shows: each with one OK button and titled with the program's title.
struct Box {
    const wchar_t* text;
    StockIcon icon;
};
inline constexpr Box kCopiedBox{tavro::messages::kCopied, StockIcon::None};
inline constexpr Box kCopyFailedBox{tavro::messages::kCopyFailed, StockIcon::None};
inline constexpr Box kNumberWarningBox{tavro::messages::kCheckNumber, StockIcon::Exclamation};

// Tavro's main window with its process, and its three buttons.
struct MainWindow {
    std::wstring program;  // the path it was started as
    StartedProcess process;
    HWND window = nullptr;
    HWND copy = nullptr;
    HWND startUp = nullptr;
    HWND close = nullptr;
    DWORD threadId = 0;
};

// Starts the program, which must show its main window (and no box) with its three buttons.
void StartMainWindow(const LaunchOptions& options, MainWindow* out);
// Copies Tavro.exe into Downloads as fileName and starts it there.
void StartFromDownloads(const std::wstring& fileName, MainWindow* out);
// The main window of a Tavro the driver did not start itself (the first that shows in the prefix).
void FindMainWindow(MainWindow* out);

// A real mouse click on the middle of the button with that control id.
void Click(const MainWindow& main, int controlId);

// Waits for the process's message box; it must bear the program's title, that text and icon, and
// one OK button, which is then clicked as a user would.
void AnswerBox(DWORD processId, const Box& expected);
// The same where either copy answer may be right: *text gets the box's text.
void AnswerCopyBox(DWORD processId, std::wstring* text);
// After a copy's box: the box gone, the main window up, enabled, and the only one shown.
void ExpectWindowStays(const MainWindow& main);
// Click(kCopyCommandId), AnswerBox(expected), ExpectWindowStays.
void CopyExpecting(const MainWindow& main, const Box& expected);

// Once act has done its part (a click, a key, a message), the program must end within its bound
// with exit code 0, showing no window but the main one (and those of allowedClass: the window
// menu), and the shell must have received the launch URL for number, or no URL when it is empty.
void ExpectEnds(const MainWindow& main,
                const std::function<void()>& act,
                const std::wstring& number = L"",
                const std::wstring& allowedClass = L"");
// Clicks close and expects the end, with no URL.
void CloseAndExpectEnd(const MainWindow& main);
// The window still waits for the user: running, shown, no box, no URL.
void ExpectStillWaiting(const MainWindow& main, const std::string& after);

// Desktop starts. The program must open exactly its launch URL for number (launcher/GateUrl.h)
// through the shell, show no window, and end by itself with exit code 0.
void ExpectSiteOpened(const LaunchOptions& options, const std::wstring& number);
// The program must show the number warning; after OK it must end with exit code 0, no URL opened.
void ExpectNumberWarning(const LaunchOptions& options);
// After the warning's box appeared: answers it and checks the end.
void AnswerNumberWarning(const StartedProcess& process);
// The program must show its main window and open no URL; it is ended afterwards.
void ExpectMainWindow(const LaunchOptions& options);

// A child's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);
// The window with the keyboard focus in that GUI thread, or NULL.
HWND FocusOf(DWORD threadId);
// Waits (bounded) until the focus in that thread is on expected; returns what it was last.
HWND WaitForFocus(DWORD threadId, HWND expected, std::chrono::milliseconds timeout = std::chrono::seconds(3));
// "CopyCommand", "StartUpCommand", "close", "the main window", "NULL" or the handle and class.
std::string NameOf(const MainWindow& main, HWND window);

}  // namespace e2e
