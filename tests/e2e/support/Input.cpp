#include "support/Input.h"

#include <chrono>
#include <vector>

#include "support/Text.h"
#include "support/Wait.h"

namespace e2e {
namespace {

constexpr std::chrono::milliseconds kFrontBound{3000};
constexpr std::chrono::milliseconds kCursorBound{1000};
constexpr UINT kHandleBoundMs = 3000;

void Fail(std::string* error, const std::string& reason) {
    if (error != nullptr) {
        *error = reason;
    }
}

std::string Describe(POINT p) {
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")";
}

bool Send(std::vector<INPUT> inputs, std::string* error) {
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        Fail(error, "SendInput took " + std::to_string(sent) + " of " + std::to_string(inputs.size()) +
                        " events: " + DescribeError(GetLastError()));
        return false;
    }
    return true;
}

// Absolute mouse coordinates run 0..65535 across the virtual desktop; rounding up lands the
// conversion back to pixels on the wanted pixel rather than the one before it.
LONG Normalise(LONG value, int origin, int extent) {
    const long long offset = static_cast<long long>(value) - origin;
    return static_cast<LONG>((offset * 65536 + extent - 1) / extent);
}

INPUT MouseInput(DWORD flags, POINT screenPoint) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    input.mi.dx = Normalise(screenPoint.x, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
    input.mi.dy = Normalise(screenPoint.y, GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    return input;
}

INPUT KeyInput(WORD virtualKey, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// Under a Wine virtual desktop, moving the cursor warps the X pointer, and the X server answers
// with a crossing event that the desktop's thread reads late and passes on as a mouse move to
// where the pointer was before the warp: the cursor jumps back, a held button with it. The X
// pointer itself stays where it was warped, so a second move there echoes that same place and
// settles it. Two round trips to the desktop's thread let it read what the display has sent.
void LetDesktopReadTheDisplay() {
    for (int round = 0; round < 2; ++round) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(GetDesktopWindow(), WM_NULL, 0, 0, SMTO_NORMAL, kHandleBoundMs, &ignored);
    }
}

bool CursorAt(POINT wanted) {
    POINT now = {};
    return GetCursorPos(&now) && now.x == wanted.x && now.y == wanted.y;
}

bool SendMouse(HWND window, DWORD flags, POINT screenPoint, std::string* error) {
    // A move to where the cursor already is warps nothing, so a button event there echoes nothing.
    constexpr int kMovesToSettle = 3;
    for (int move = 0; move < kMovesToSettle; ++move) {
        if (!Send({MouseInput((move == 0 ? flags : 0) | MOUSEEVENTF_MOVE, screenPoint)}, error)) {
            return false;
        }
        if (!PollUntil([&] { return CursorAt(screenPoint); }, kCursorBound)) {
            break;
        }
        LetDesktopReadTheDisplay();
        if (CursorAt(screenPoint)) {
            LetHandle(window);
            return true;
        }
    }
    POINT now = {};
    GetCursorPos(&now);
    Fail(error, "cursor expected at " + Describe(screenPoint) + ", is at " + Describe(now));
    return false;
}

}  // namespace

bool LetHandle(HWND window) {
    // Sent messages are handled before queued input, so two round trips: the first reaches the
    // thread at its next message retrieval, the second only after the input that was queued has
    // been dispatched.
    for (int round = 0; round < 2; ++round) {
        if (!IsWindow(window)) {
            return true;
        }
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kHandleBoundMs, &ignored)) {
            return !IsWindow(window);
        }
    }
    return true;
}

namespace {

// Foreground is decided at once, but the target's thread takes activation and focus only when it
// next reads its messages; keys that arrive before then have no window to go to and are lost.
bool ThreadHasFocusIn(HWND top) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    const DWORD thread = GetWindowThreadProcessId(top, nullptr);
    return thread != 0 && GetGUIThreadInfo(thread, &info) && info.hwndActive == top && info.hwndFocus != nullptr &&
           (info.hwndFocus == top || IsChild(top, info.hwndFocus));
}

}  // namespace

bool BringToFront(HWND window, std::string* error) {
    const HWND top = GetAncestor(window, GA_ROOT);
    if (top == nullptr || !IsWindow(top)) {
        Fail(error, "no window to bring to the front");
        return false;
    }
    if (GetForegroundWindow() == top && ThreadHasFocusIn(top)) {
        return true;
    }
    // Activation crosses into the target's thread; ask again now and then in case a request is lost.
    auto lastAsked = std::chrono::steady_clock::now();
    SetForegroundWindow(top);
    const bool front = PollUntil(
        [&] {
            if (GetForegroundWindow() == top && ThreadHasFocusIn(top)) {
                return true;
            }
            if (std::chrono::steady_clock::now() - lastAsked > std::chrono::milliseconds(250)) {
                SetForegroundWindow(top);
                lastAsked = std::chrono::steady_clock::now();
            }
            return false;
        },
        kFrontBound);
    if (!front) {
        wchar_t title[256] = {};
        GetWindowTextW(GetForegroundWindow(), title, 256);
        Fail(error, "could not make the window foreground, active and focused within " +
                        std::to_string(kFrontBound.count()) + " ms; the foreground window is \"" + Utf8(title) + "\"");
        return false;
    }
    LetHandle(top);
    return true;
}

POINT ClientToScreenPoint(HWND window, POINT clientPoint) {
    ClientToScreen(window, &clientPoint);
    return clientPoint;
}

POINT ClientCentre(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right / 2, client.bottom / 2};
}

bool MoveMouseTo(POINT screenPoint, std::string* error) {
    return SendMouse(WindowFromPoint(screenPoint), 0, screenPoint, error);
}

bool PressLeftAt(HWND window, POINT clientPoint, std::string* error) {
    if (!BringToFront(window, error)) {
        return false;
    }
    const POINT at = ClientToScreenPoint(window, clientPoint);
    if (WindowFromPoint(at) != window) {
        Fail(error, "the point " + Describe(at) + " shows another window, not the target");
        return false;
    }
    return SendMouse(window, 0, at, error) && SendMouse(window, MOUSEEVENTF_LEFTDOWN, at, error);
}

bool MoveHeldMouseTo(HWND window, POINT screenPoint, std::string* error) {
    // The window holding the capture gets the move wherever the cursor is.
    return SendMouse(window, 0, screenPoint, error);
}

bool ReleaseLeftAt(HWND window, POINT screenPoint, std::string* error) {
    return SendMouse(window, 0, screenPoint, error) && SendMouse(window, MOUSEEVENTF_LEFTUP, screenPoint, error);
}

bool ClickClientPoint(HWND window, POINT clientPoint, std::string* error) {
    return PressLeftAt(window, clientPoint, error) &&
           ReleaseLeftAt(window, ClientToScreenPoint(window, clientPoint), error);
}

bool ClickScreenPointBlindly(POINT screenPoint, std::string* error) {
    if (!Send({MouseInput(MOUSEEVENTF_MOVE, screenPoint)}, error)) {
        return false;
    }
    if (!PollUntil([&] { return CursorAt(screenPoint); }, kCursorBound)) {
        Fail(error, "cursor expected at " + Describe(screenPoint));
        return false;
    }
    return Send({MouseInput(MOUSEEVENTF_LEFTDOWN, screenPoint), MouseInput(MOUSEEVENTF_LEFTUP, screenPoint)}, error);
}

bool ReleaseLeftBlindly(POINT screenPoint, std::string* error) {
    return Send({MouseInput(MOUSEEVENTF_MOVE, screenPoint), MouseInput(MOUSEEVENTF_LEFTUP, screenPoint)}, error);
}

bool ClickCentre(HWND window, std::string* error) {
    return ClickClientPoint(window, ClientCentre(window), error);
}

bool PressAndReleaseAway(HWND button, POINT releaseScreenPoint, std::string* error) {
    return PressLeftAt(button, ClientCentre(button), error) && MoveHeldMouseTo(button, releaseScreenPoint, error) &&
           ReleaseLeftAt(button, releaseScreenPoint, error);
}

bool PressKey(HWND target, WORD virtualKey, std::string* error) {
    return PressKeys(target, {virtualKey}, error);
}

bool PressKeys(HWND target, std::initializer_list<WORD> chord, std::string* error) {
    if (!BringToFront(target, error) || !PressKeysBlindly(chord, error)) {
        return false;
    }
    LetHandle(GetAncestor(target, GA_ROOT));
    return true;
}

bool PressKeysBlindly(std::initializer_list<WORD> chord, std::string* error) {
    std::vector<INPUT> inputs;
    for (const WORD key : chord) {
        inputs.push_back(KeyInput(key, false));
    }
    for (auto key = std::rbegin(chord); key != std::rend(chord); ++key) {
        inputs.push_back(KeyInput(*key, true));
    }
    return Send(inputs, error);
}

}  // namespace e2e
