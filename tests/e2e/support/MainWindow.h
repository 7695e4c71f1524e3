#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/Process.h"

// Tavro's main window as a user meets it: started from a folder other than the desktop.
namespace e2e {

inline constexpr int kCopyCommandId = 1001;
inline constexpr int kStartUpCommandId = 1002;
inline constexpr int kCloseId = 1003;

struct MainWindow {
    StartedProcess process;
    HWND window = nullptr;
    HWND copy = nullptr;
    HWND startUp = nullptr;
    HWND close = nullptr;
    DWORD threadId = 0;
};

// Copies Tavro.exe into Downloads as fileName, starts it and waits for its main window (not a
// message box) and its three buttons. Uses fatal assertions: call under ASSERT_NO_FATAL_FAILURE.
void StartMainWindow(const std::wstring& fileName, MainWindow* out);

// A child's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);

// The window with the keyboard focus in that GUI thread, or NULL.
HWND FocusOf(DWORD threadId);
// Waits (bounded) until the focus in that thread is on expected; returns what it was last.
HWND WaitForFocus(DWORD threadId, HWND expected, std::chrono::milliseconds timeout = std::chrono::seconds(3));
// "CopyCommand", "StartUpCommand", "close", "NULL" or the handle and class, for failure output.
std::string NameOf(const MainWindow& main, HWND window);

// A setting under HKCU that a process reads when it starts, changed for the lifetime of the
// object and put back afterwards (one prefix may serve several cases when run by hand).
class ScopedUserSetting {
  public:
    ScopedUserSetting(const wchar_t* subKey, const wchar_t* name, DWORD type, const void* data, DWORD bytes);
    ScopedUserSetting(const ScopedUserSetting&) = delete;
    ScopedUserSetting& operator=(const ScopedUserSetting&) = delete;
    ~ScopedUserSetting();

    bool Applied() const { return error_.empty(); }
    const std::string& Error() const { return error_; }

  private:
    std::wstring subKey_;
    std::wstring name_;
    bool hadValue_ = false;
    DWORD oldType_ = 0;
    std::vector<BYTE> oldData_;
    std::string error_;
};

// The screen dpi (HKCU\Control Panel\Desktop LogPixels).
class ScopedLogPixels : public ScopedUserSetting {
  public:
    explicit ScopedLogPixels(DWORD dpi);
};

// One system colour as "R G B" (HKCU\Control Panel\Colors), e.g. ButtonHilight.
class ScopedSystemColour : public ScopedUserSetting {
  public:
    ScopedSystemColour(const wchar_t* name, const std::wstring& rgb);
};

}  // namespace e2e
