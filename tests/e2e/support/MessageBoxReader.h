#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace e2e {

// The stock message box icons, told apart by what the box really shows on screen.
enum class StockIcon { None, Unrecognised, Exclamation, Hand, Asterisk, Question };
const char* ToString(StockIcon icon);

struct MessageBoxContents {
    std::wstring title;
    std::wstring text;  // item 0xFFFF
    bool hasIcon = false;
    StockIcon icon = StockIcon::None;
    std::string iconDetail;  // how the icon was told apart, for failure output
    std::vector<std::wstring> buttons;
    std::vector<HWND> buttonHandles;
};

bool IsMessageBox(HWND window);
// First visible message box (class #32770) of the process within timeout, or NULL.
HWND WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout);
// Reads every part of the box; looks at its pixels for up to iconTimeout to name the icon.
MessageBoxContents ReadMessageBox(HWND box, std::chrono::milliseconds iconTimeout = std::chrono::seconds(3));
// Clicks the button with that caption (after removing "&") as a user would; false with a reason if absent.
bool PressButton(const MessageBoxContents& box, const std::wstring& caption, std::string* error);

}  // namespace e2e
