#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// Real input through SendInput, as a user's mouse and keyboard would give it. Every call first
// makes the target's top-level window the foreground window (input goes there, not to a handle),
// and afterwards waits, bounded, until the target's thread has taken the input from its queue.
// Each returns false with the reason in *error (when given) if any step could not be done.
namespace e2e {

// Activates the window's top-level ancestor and waits until GetForegroundWindow reports it.
bool BringToFront(HWND window, std::string* error = nullptr);

// Screen coordinates of a point given in the window's client coordinates.
POINT ClientToScreenPoint(HWND window, POINT clientPoint);
// Middle of the window's client area, in its client coordinates.
POINT ClientCentre(HWND window);

// Moves the cursor there (screen coordinates) and checks it arrived; no foreground change.
bool MoveMouseTo(POINT screenPoint, std::string* error = nullptr);

// Lower-level steps, for tests that look at a button while it is held.
bool PressLeftAt(HWND window, POINT clientPoint, std::string* error = nullptr);
bool MoveHeldMouseTo(HWND window, POINT screenPoint, std::string* error = nullptr);
bool ReleaseLeftAt(HWND window, POINT screenPoint, std::string* error = nullptr);

// A press and release at screenPoint with no window asked to take them first and no wait for
// anyone to handle them: a click at a window that may be refusing input (disabled, or busy).
bool ClickScreenPointBlindly(POINT screenPoint, std::string* error = nullptr);
// The release alone, after PressLeftAt, without waiting for the window to handle it: for a click
// whose handler may keep the window busy.
bool ReleaseLeftBlindly(POINT screenPoint, std::string* error = nullptr);

// Press and release over the same client point of window.
bool ClickClientPoint(HWND window, POINT clientPoint, std::string* error = nullptr);
bool ClickCentre(HWND window, std::string* error = nullptr);
// Press over the middle of button, move away, release over releaseScreenPoint.
bool PressAndReleaseAway(HWND button, POINT releaseScreenPoint, std::string* error = nullptr);

// One key down and up, sent to whatever window is foreground now (which must belong to target's
// top-level window: it is brought to the front first).
bool PressKey(HWND target, WORD virtualKey, std::string* error = nullptr);
// Keys go down in the order given and come up in reverse: {VK_SHIFT, VK_TAB}, {VK_MENU, VK_F4}.
bool PressKeys(HWND target, std::initializer_list<WORD> chord, std::string* error = nullptr);
// The same chord to whatever window is foreground now, with no window asked to take it first and
// no wait for anyone to handle it: keys at a window that may have given the focus away (busy).
bool PressKeysBlindly(std::initializer_list<WORD> chord, std::string* error = nullptr);

// Waits (bounded) until window's thread has handled everything queued before now; true also
// when the window is gone, since then nothing is left to handle.
bool LetHandle(HWND window);

}  // namespace e2e
