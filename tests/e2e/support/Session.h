#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "support/Process.h"
#include "support/TopWindows.h"
#include "support/UrlLog.h"

namespace e2e {

// Bounds for one start of the program; generous next to the usual few hundred milliseconds,
// far inside the per-test timeout.
inline constexpr std::chrono::milliseconds kStartBound{10000};
inline constexpr std::chrono::milliseconds kEndBound{10000};

// Everything a user could have noticed from one start that was meant to end on its own.
struct RunOutcome {
    std::string startError;  // non-empty when the process could not be started
    WindowHistory windows;
    UrlLog urls;
};

// Starts the program, watches its windows until it ends (bounded), then collects the URLs the
// shell received. A process still running at the deadline is ended and reported as such.
RunOutcome RunUntilExit(const LaunchOptions& options, std::chrono::milliseconds bound = kEndBound);

}  // namespace e2e
