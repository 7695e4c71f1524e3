#include "support/UrlLog.h"

#include <windows.h>

#include <cstdlib>

#include "support/FileCompare.h"
#include "support/Folders.h"
#include "support/Layout.h"
#include "support/Process.h"
#include "support/Text.h"
#include "support/UrlRecordFormat.h"

namespace e2e {

void ClearReceivedUrls() {
    DeleteFileW(layout::kReceivedUrls);
}

UrlLog ReadReceivedUrls() {
    UrlLog log;
    if (!FileExists(layout::kReceivedUrls)) {
        return log;  // nothing received
    }
    std::string error;
    const std::optional<std::string> contents = ReadWholeFile(layout::kReceivedUrls, &error);
    if (!contents) {
        log.problem = "cannot read the URL log: " + error;
        return log;
    }
    bool unfinished = false;
    for (const std::string_view line : SplitLines(*contents, &unfinished)) {
        const auto fields = record::SplitFields(line);
        if (fields.size() < 3 || fields[0] != record::kTag) {
            log.problem = "malformed record in the URL log: " + std::string(line);
            continue;
        }
        ReceivedUrl received;
        received.commandTail = Wide(record::Unescape(fields[1]));
        const unsigned long argc = std::strtoul(std::string(fields[2]).c_str(), nullptr, 10);
        for (std::size_t i = 3; i < fields.size(); ++i) {
            received.argv.push_back(Wide(record::Unescape(fields[i])));
        }
        if (received.argv.size() != argc) {
            log.problem = "record's argc disagrees with its argv: " + std::string(line);
        }
        log.records.push_back(std::move(received));
    }
    if (unfinished) {
        log.problem += (log.problem.empty() ? "" : "; ") + std::string("the URL log ends in an unfinished record");
    }
    return log;
}

UrlLog CollectReceivedUrls(std::chrono::milliseconds timeout) {
    UrlLog log;
    if (!WaitUntilNoProcessNamed(layout::kRecorderFileName, timeout)) {
        log = ReadReceivedUrls();
        log.problem +=
            (log.problem.empty() ? "" : "; ") + std::string("a URL recorder was still running at the deadline");
        return log;
    }
    return ReadReceivedUrls();
}

std::string ToString(const ReceivedUrl& record) {
    std::string out = "{tail \"" + Utf8(record.commandTail) + "\", argc " + std::to_string(record.argv.size());
    for (std::size_t i = 0; i < record.argv.size(); ++i) {
        out += ", argv[" + std::to_string(i) + "] \"" + Utf8(record.argv[i]) + "\"";
    }
    return out + "}";
}

std::string ToString(const UrlLog& log) {
    std::string out = std::to_string(log.records.size()) + " record(s)";
    for (const ReceivedUrl& record : log.records) {
        out += "\n    " + ToString(record);
    }
    if (!log.problem.empty()) {
        out += "\n    problem: " + log.problem;
    }
    return out;
}

}  // namespace e2e
