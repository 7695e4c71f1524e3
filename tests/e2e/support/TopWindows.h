#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace e2e {

struct WindowInfo {
    HWND handle = nullptr;
    std::wstring className;
    std::wstring title;
    bool visible = false;
};

std::wstring ClassNameOf(HWND window);
// Text through WM_GETTEXT, bounded so a hung window cannot hang the test.
std::wstring TextOf(HWND window);
// Caption as the system stores it; never waits on the window's owner.
std::wstring TitleOf(HWND window);
WindowInfo Describe(HWND window);
// "class \"...\" title \"...\" visible/hidden", for failure output.
std::string ToString(const WindowInfo& info);
std::string ToString(const std::vector<WindowInfo>& windows);
// "(left, top) width x height", for failure output and for comparing rectangles as text.
std::string ToString(const RECT& rect);

std::vector<HWND> TopLevelWindowsOf(DWORD processId);

// First visible top-level window of the process that satisfies accept, within timeout; null at
// once when the process has ended without one, since no window can come after that.
template <typename Accept>
HWND WaitForVisibleWindow(DWORD processId, std::chrono::milliseconds timeout, Accept accept);
HWND WaitForVisibleWindow(DWORD processId, std::chrono::milliseconds timeout);

// What a process showed while it ran: every top-level window met by polling, until it ended.
struct WindowHistory {
    bool exited = false;
    DWORD exitCode = 0;
    std::vector<WindowInfo> seen;  // one entry per window handle, visible if it ever was
    bool anyVisible() const;
};
WindowHistory WatchWindowsUntilExit(HANDLE process, DWORD processId, std::chrono::milliseconds timeout);

}  // namespace e2e

#include "platform/UniqueResource.h"
#include "support/Wait.h"

namespace e2e {

template <typename Accept>
HWND WaitForVisibleWindow(DWORD processId, std::chrono::milliseconds timeout, Accept accept) {
    const tavro::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    HWND found = nullptr;
    PollUntil(
        [&] {
            // Asked before the scan, so a window shown just before the end is still found.
            const bool ended = !process || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
            for (HWND window : TopLevelWindowsOf(processId)) {
                if (IsWindowVisible(window) && accept(window)) {
                    found = window;
                    return true;
                }
            }
            return ended;
        },
        timeout);
    return found;
}

}  // namespace e2e
