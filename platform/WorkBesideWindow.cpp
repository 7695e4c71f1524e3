#include "platform/WorkBesideWindow.h"

#include <memory>
#include <optional>
#include <utility>

#include "platform/UniqueResource.h"

namespace tavro {

namespace {

// Shared by the waiting call and the thread: once the program ends, the wait gives up after a
// bound, and the thread may outlive the call that started it (until the process ends).
struct Job {
    explicit Job(CancellableWork w) : work(std::move(w)) {}
    CancellableWork work;
    std::atomic<bool> cancelled{false};
    std::atomic<bool> result{false};
};

DWORD WINAPI RunJob(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Job>> job(static_cast<std::shared_ptr<Job>*>(parameter));
    (*job)->result.store((*job)->work((*job)->cancelled));
    return 0;
}

// How long the program waits, once it is ending, for the work to give up: a copy stops within a
// chunk of the file and removes its temporary within a second (FileCopy.cpp).
constexpr DWORD kGiveUpBoundMs = 2000;

// The work under way on the window thread, the only thread that runs RunBesideWindow (its
// handlers keep it from running twice at once).
struct Running {
    Job* job = nullptr;
    HANDLE thread = nullptr;  // borrowed from RunBesideWindow
};
Running running;

// Keyboard and mouse input that arrives during the wait is dropped unseen, whoever it is for:
// Space or Enter for a button, Tab, a click. The window is disabled meanwhile, as a modal dialog's
// owner is, and a disabled window's frame takes no command either (DefWindowProc ignores
// WM_SYSCOMMAND for it: no Alt+F4, no window menu, no close box), so no input is of use to it.
// Everything else is dispatched as in the main loop: paint, timers, posted messages such as
// WM_CLOSE (Task Manager's End task), which ends the program and so the wait. Messages sent to the
// window (WM_QUERYENDSESSION, a BM_CLICK from an accessibility tool) never pass through here at
// all, which is why the handlers keep their own guard against being called again.
bool IsInput(const MSG& message) {
    const UINT id = message.message;
    return (id >= WM_KEYFIRST && id <= WM_KEYLAST) || (id >= WM_MOUSEFIRST && id <= WM_MOUSELAST) ||
           (id >= WM_NCMOUSEMOVE && id <= WM_NCXBUTTONDBLCLK);
}

// The quit message's exit code once it has arrived; everything else dispatched, but input.
std::optional<int> PumpUntilQuit() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            return static_cast<int>(message.wParam);
        }
        if (IsInput(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return std::nullopt;
}

// The keyboard focus, when it is on window or one of its children: it is taken away for the wait.
HWND OwnFocus(HWND window) {
    const HWND focus = GetFocus();
    return window != nullptr && focus != nullptr && (focus == window || IsChild(window, focus)) ? focus : nullptr;
}

}  // namespace

bool GiveUpWorkBesideWindow(DWORD boundMs) {
    if (running.job == nullptr) {
        return true;
    }
    running.job->cancelled.store(true);
    return WaitForSingleObject(running.thread, boundMs) == WAIT_OBJECT_0;
}

bool RunBesideWindow(HWND window, const CancellableWork& work) {
    const auto job = std::make_shared<Job>(work);
    auto threadsShare = std::make_unique<std::shared_ptr<Job>>(job);
    const UniqueHandle thread(CreateThread(nullptr, 0, &RunJob, threadsShare.get(), 0, nullptr));
    if (!thread) {
        return work(job->cancelled);
    }
    static_cast<void>(threadsShare.release());  // RunJob owns it now
    running = Running{job.get(), thread.get()};
    // As a modal dialog takes the focus from its owner: no button shows a focus mark it would not
    // honour. Keys, with no window to go to, come to the active window as WM_SYSKEY* messages, and
    // are dropped with the rest. Taken before the window is disabled, which moves the focus off
    // the window itself but not off a child, and after which SetFocus would fail.
    const HWND focus = OwnFocus(window);
    if (focus != nullptr) {
        SetFocus(nullptr);
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
            // Bounded: on a desktop across a lost network the copy may hang in a call that only
            // the network's time-out ends, and a program with no window must not linger for it.
            GiveUpWorkBesideWindow(kGiveUpBoundMs);
            break;
        }
    }
    running = Running{};

    if (window != nullptr && !wasDisabled && IsWindow(window)) {
        EnableWindow(window, TRUE);
    }
    // Back where it was, unless something took it meanwhile or the window is gone. SetFocus fails
    // on a window that is still disabled (the wait ran inside another one).
    if (focus != nullptr && IsWindow(focus) && GetFocus() == nullptr) {
        SetFocus(focus);
    }
    if (quit) {
        PostQuitMessage(*quit);
    }
    return job->result.load();
}

}  // namespace tavro
