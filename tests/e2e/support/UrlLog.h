#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace e2e {

// One invocation of the URL recorder: what the shell passed to the http handler.
struct ReceivedUrl {
    std::wstring commandTail;        // command line after the recorder's own path
    std::vector<std::wstring> argv;  // CommandLineToArgvW of the whole command line
    std::wstring url() const { return argv.size() > 1 ? argv[1] : std::wstring(); }
};

struct UrlLog {
    std::vector<ReceivedUrl> records;
    std::string problem;  // set when the log exists but cannot be read or parsed
};

void ClearReceivedUrls();
// Waits (bounded) for every recorder the shell started to finish, then reads the log.
UrlLog CollectReceivedUrls(std::chrono::milliseconds timeout = std::chrono::seconds(10));
UrlLog ReadReceivedUrls();

std::string ToString(const ReceivedUrl& record);
std::string ToString(const UrlLog& log);

}  // namespace e2e
