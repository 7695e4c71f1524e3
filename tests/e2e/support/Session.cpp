#include "support/Session.h"

namespace e2e {

RunOutcome RunUntilExit(const LaunchOptions& options, std::chrono::milliseconds bound) {
    RunOutcome outcome;
    StartedProcess process = StartedProcess::Start(options, &outcome.startError);
    if (!process) {
        return outcome;
    }
    outcome.windows = WatchWindowsUntilExit(process.Handle(), process.Id(), bound);
    if (!outcome.windows.exited) {
        process.Terminate();
    }
    outcome.urls = CollectReceivedUrls();
    return outcome;
}

}  // namespace e2e
