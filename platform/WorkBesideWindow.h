#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

namespace tavro {

using CancellableWork = std::function<bool(const std::atomic<bool>& cancelled)>;

// Runs work on a thread of its own while this, the window thread, goes on handling its messages,
// with window (borrowed; may be null) disabled meanwhile as a modal dialog's owner is, and the
// keyboard focus taken from it and given back afterwards: it paints and answers, but takes no
// clicks and no keys (WorkBesideWindow.cpp says which messages the wait dispatches). When the
// quit message arrives meanwhile (the program was ended), cancelled is set, the work is awaited for
// at most two seconds, and the quit is posted again for the main loop. Returns what work returned,
// or false when it did not end in time (its thread then runs on, on a copy of work, until the
// process ends).
bool RunBesideWindow(HWND window, const CancellableWork& work);

// Sets cancelled for the work RunBesideWindow runs on this thread, if any, and waits for it to
// end, at most boundMs: true when no work runs any more. For a handler that must finish before
// it returns (WM_ENDSESSION, after which Windows may end the process at any moment).
bool GiveUpWorkBesideWindow(DWORD boundMs);

}  // namespace tavro
