#pragma once

#include <string>
#include <vector>

#include "support/Process.h"

namespace e2e {

// What e2e_probe.exe reported about one run of itself.
struct ProbeReport {
    std::string error;  // set when the probe could not be run or did not report
    std::wstring modulePath;
    std::wstring currentDirectory;
    std::vector<std::wstring> loadResults;  // "NAME\tok" or "NAME\tfailed"
};

// Runs the probe (already copied to options.program) to its end and reads its report.
ProbeReport RunProbe(const LaunchOptions& options);

}  // namespace e2e
