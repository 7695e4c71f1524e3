#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "support/Process.h"

// Steps of the copy and close cases: a started Tavro with its window up, real clicks on its
// commands, and the message box the copy command answers with. The functions use fatal
// assertions: call them under ASSERT_NO_FATAL_FAILURE.
namespace e2e::command {

inline constexpr int kCopy = 1001;
inline constexpr int kClose = 1003;

inline constexpr const wchar_t* kCopiedText = L"デスクトップにコピーしました。";
inline constexpr const wchar_t* kCopyFailedText = L"デスクトップにコピーできませんでした。";

// How long a close may take: the user sees the window go at once; Wine needs a moment to end
// the process.
inline constexpr std::chrono::milliseconds kCloseBound{3000};

// Tavro's main window, class "TavroForm", of process processId; NULL when none shows within timeout.
HWND WaitForMainWindow(DWORD processId, std::chrono::milliseconds timeout);
// The first visible "TavroForm" window of any process in the prefix, for starts the driver
// did not make itself.
HWND WaitForAnyMainWindow(std::chrono::milliseconds timeout);

// Starts the program, which must show its main window; *window gets it.
void StartWithWindow(const LaunchOptions& options, StartedProcess* process, HWND* window);

// A real mouse click on the middle of the window's push button with that control id.
void ClickCommand(HWND window, int controlId);

// The copy command's answer: Tavro's plain message box with one OK button and that text.
// Presses OK with a real click; the box must go, and the main window stay up, enabled, and
// the only visible window of the process.
void ExpectCopyAnswer(DWORD processId, HWND window, const std::wstring& text);

// Like ExpectCopyAnswer, for cases where either answer may be right: returns the box's text.
void ReadCopyAnswer(DWORD processId, HWND window, std::wstring* text);

// ClickCommand(kCopy), then ExpectCopyAnswer.
void CopyExpecting(DWORD processId, HWND window, const std::wstring& text);

}  // namespace e2e::command
