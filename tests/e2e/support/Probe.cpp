#include "support/Probe.h"

#include <windows.h>

#include "support/FileCompare.h"
#include "support/Layout.h"
#include "support/Text.h"
#include "support/Wait.h"

namespace e2e {

ProbeReport RunProbe(const LaunchOptions& options) {
    ProbeReport report;
    DeleteFileW(layout::kProbeReport);
    StartedProcess process = StartedProcess::Start(options, &report.error);
    if (!process) {
        return report;
    }
    if (!process.WaitForExit(kEndBound).has_value()) {
        report.error = "the probe did not end within its bound";
        return report;
    }
    std::string error;
    const std::optional<std::string> contents = ReadWholeFile(layout::kProbeReport, &error);
    if (!contents) {
        report.error = "the probe left no report: " + error;
        return report;
    }
    for (const std::string_view bytes : SplitLines(*contents)) {
        const std::wstring line = Wide(bytes);
        const std::size_t tab = line.find(L'\t');
        const std::wstring key = line.substr(0, tab);
        const std::wstring value = tab == std::wstring::npos ? std::wstring() : line.substr(tab + 1);
        if (key == L"module") {
            report.modulePath = value;
        } else if (key == L"cwd") {
            report.currentDirectory = value;
        } else if (key == L"load") {
            report.loadResults.push_back(value);
        }
    }
    return report;
}

}  // namespace e2e
