#include "platform/WorkBesideWindow.h"

#include <optional>

#include "platform/UniqueResource.h"

namespace tavro {

namespace {

struct Job {
    const CancellableWork* work = nullptr;
    std::atomic<bool> cancelled{false};
    bool result = false;
};

DWORD WINAPI RunJob(void* parameter) {
    auto* job = static_cast<Job*>(parameter);
    job->result = (*job->work)(job->cancelled);
    return 0;
}

// The quit message's exit code once it has arrived; everything else is handled as the main loop would.
std::optional<int> PumpUntilQuit() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            return static_cast<int>(message.wParam);
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return std::nullopt;
}

}  // namespace

bool RunBesideWindow(HWND window, const CancellableWork& work) {
    Job job;
    job.work = &work;
    const UniqueHandle thread(CreateThread(nullptr, 0, &RunJob, &job, 0, nullptr));
    if (!thread) {
        return work(job.cancelled);
    }
    // EnableWindow answers whether the window was disabled before; leave such a window as it was.
    const bool wasDisabled = window != nullptr && EnableWindow(window, FALSE) != FALSE;

    std::optional<int> quit;
    const HANDLE handles[] = {thread.get()};
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjectsEx(1, handles, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0) {
            break;
        }
        if (woken == WAIT_FAILED) {
            // Nothing left to pump with: at least never return before the work is done.
            WaitForSingleObject(thread.get(), INFINITE);
            break;
        }
        quit = PumpUntilQuit();
        if (quit) {
            job.cancelled.store(true);
            WaitForSingleObject(thread.get(), INFINITE);
            break;
        }
    }

    if (window != nullptr && !wasDisabled && IsWindow(window)) {
        EnableWindow(window, TRUE);
    }
    if (quit) {
        PostQuitMessage(*quit);
    }
    return job.result;
}

}  // namespace tavro
