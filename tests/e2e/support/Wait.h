#pragma once

#include <windows.h>

#include <chrono>
#include <thread>

namespace e2e {

// Bounds for one start of the program, and for its end; generous next to the usual few hundred
// milliseconds, far inside the per-test timeout.
inline constexpr std::chrono::milliseconds kStartBound{10000};
inline constexpr std::chrono::milliseconds kEndBound{10000};

// Dispatches whatever is queued for this thread, so windows the driver owns and cross-process
// sends to it never stall while it waits.
inline void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Polls condition every few milliseconds until it holds or timeout passes; true when it held.
template <typename Condition>
bool PollUntil(Condition condition,
               std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval = std::chrono::milliseconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        PumpMessages();
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(interval.count()), QS_ALLINPUT);
    }
}

}  // namespace e2e
