#include "support/Process.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>

#include "support/Text.h"
#include "support/Wait.h"

namespace e2e {
namespace {

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L'\\');
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

std::wstring Upper(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towupper(c); });
    return text;
}

}  // namespace

StartedProcess::~StartedProcess() {
    if (process_ && IsRunning()) {
        Terminate();
    }
}

StartedProcess StartedProcess::Start(const LaunchOptions& options, std::string* error) {
    std::wstring commandLine = L"\"" + options.program + L"\"";
    if (!options.arguments.empty()) {
        commandLine += L" " + options.arguments;
    }
    const std::wstring workingDirectory =
        options.workingDirectory.empty() ? FolderOf(options.program) : options.workingDirectory;

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    const auto create = [&] {
        return CreateProcessW(options.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &info) != FALSE;
    };
    bool created = create();
    if (!created && GetLastError() == ERROR_INTERNAL_ERROR) {
        // Wine answers ERROR_INTERNAL_ERROR when the new process ended inside Wine's own start-up
        // (the fork and exec of its loader, the first talk with the wineserver) before it had
        // finished initialising, and so before any of the program's code ran: the start itself
        // failed, not the program. It has been seen only on a heavily loaded machine (see
        // tests/e2e/README.md). A user would start the program again, and so do we, once, saying so.
        std::printf("note: CreateProcessW(%s) failed inside Wine's start-up (error 1359); starting it again\n",
                    Utf8(options.program).c_str());
        created = create();
    }
    if (!created) {
        *error = "CreateProcessW(" + Utf8(options.program) + ") failed: " + DescribeError(GetLastError());
        return {};
    }
    const tavro::UniqueHandle thread(info.hThread);
    StartedProcess started;
    started.process_.reset(info.hProcess);
    started.id_ = info.dwProcessId;
    return started;
}

StartedProcess StartedProcess::Open(DWORD processId, std::string* error) {
    StartedProcess opened;
    opened.process_.reset(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, processId));
    if (!opened.process_) {
        *error = "cannot open process " + std::to_string(processId) + ": " + DescribeError(GetLastError());
        return {};
    }
    opened.id_ = processId;
    return opened;
}

bool StartedProcess::IsRunning() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> StartedProcess::WaitForExit(std::chrono::milliseconds timeout) const {
    if (!process_) {
        return std::nullopt;
    }
    if (!PollUntil([this] { return !IsRunning(); }, timeout)) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

void StartedProcess::Terminate() const {
    TerminateProcess(process_.get(), 0xDEAD);
    WaitForSingleObject(process_.get(), 5000);
}

bool WaitUntilNoProcessNamed(const std::wstring& exeFileName, std::chrono::milliseconds timeout) {
    const std::wstring wanted = Upper(exeFileName);
    return PollUntil(
        [&wanted] {
            tavro::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
            if (!snapshot) {
                return false;
            }
            PROCESSENTRY32W entry = {};
            entry.dwSize = sizeof entry;
            for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
                 more = Process32NextW(snapshot.get(), &entry)) {
                if (Upper(entry.szExeFile) == wanted) {
                    return false;
                }
            }
            return true;
        },
        timeout);
}

std::vector<LoadedModule> ModulesOf(DWORD processId) {
    std::vector<LoadedModule> modules;
    tavro::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, processId));
    if (!snapshot) {
        return modules;
    }
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot.get(), &entry); more; more = Module32NextW(snapshot.get(), &entry)) {
        modules.push_back({Upper(entry.szModule), Upper(entry.szExePath)});
    }
    return modules;
}

}  // namespace e2e
