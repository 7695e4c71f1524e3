#include "support/TopWindows.h"

#include <algorithm>

#include "support/Text.h"

namespace e2e {
namespace {

struct EnumState {
    DWORD processId;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == state->processId) {
        state->windows->push_back(window);
    }
    return TRUE;
}

}  // namespace

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(std::max(length, 0)));
}

std::wstring TextOf(HWND window) {
    // WM_GETTEXT with a bound: a hung window must not hang the test.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             2000, &copied)) {
        return {};
    }
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

std::wstring TitleOf(HWND window) {
    // For another process's window this reads the stored caption without sending it anything.
    wchar_t title[1024] = {};
    const int length = GetWindowTextW(window, title, 1024);
    return std::wstring(title, static_cast<std::size_t>(std::max(length, 0)));
}

WindowInfo Describe(HWND window) {
    return {window, ClassNameOf(window), TitleOf(window), IsWindowVisible(window) != FALSE};
}

std::string ToString(const WindowInfo& info) {
    return "class \"" + Utf8(info.className) + "\" title \"" + Utf8(info.title) + "\" " +
           (info.visible ? "visible" : "hidden");
}

std::string ToString(const std::vector<WindowInfo>& windows) {
    if (windows.empty()) {
        return "(no window)";
    }
    std::string out;
    for (const WindowInfo& info : windows) {
        out += (out.empty() ? "" : "; ") + ToString(info);
    }
    return out;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    std::vector<HWND> windows;
    EnumState state{processId, &windows};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return windows;
}

HWND WaitForVisibleWindow(DWORD processId, std::chrono::milliseconds timeout) {
    return WaitForVisibleWindow(processId, timeout, [](HWND) { return true; });
}

bool WindowHistory::anyVisible() const {
    return std::any_of(seen.begin(), seen.end(), [](const WindowInfo& info) { return info.visible; });
}

WindowHistory WatchWindowsUntilExit(HANDLE process, DWORD processId, std::chrono::milliseconds timeout) {
    WindowHistory history;
    const auto note = [&history](HWND window) {
        const bool visible = IsWindowVisible(window) != FALSE;
        auto known = std::find_if(history.seen.begin(), history.seen.end(),
                                  [window](const WindowInfo& info) { return info.handle == window; });
        if (known == history.seen.end()) {
            history.seen.push_back(Describe(window));
            history.seen.back().visible = visible;
        } else if (visible && !known->visible) {
            *known = Describe(window);
            known->visible = true;
        }
    };
    history.exited = PollUntil(
        [&] {
            for (HWND window : TopLevelWindowsOf(processId)) {
                note(window);
            }
            return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        },
        timeout, std::chrono::milliseconds(2));
    if (history.exited) {
        GetExitCodeProcess(process, &history.exitCode);
    }
    return history;
}

std::string ToString(const RECT& rect) {
    return "(" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ") " +
           std::to_string(rect.right - rect.left) + " x " + std::to_string(rect.bottom - rect.top);
}

}  // namespace e2e
