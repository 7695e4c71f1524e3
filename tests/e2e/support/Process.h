#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/UniqueResource.h"

namespace e2e {

struct LaunchOptions {
    LaunchOptions() = default;
    // Implicit: most starts are "this path, as a double-click would start it".
    LaunchOptions(std::wstring path) : program(std::move(path)) {}  // NOLINT(google-explicit-constructor)

    // Path handed to CreateProcessW, exactly as given (tests vary its spelling on purpose).
    std::wstring program;
    // Empty: the program's own folder, as a double-click in Explorer would give it.
    std::wstring workingDirectory;
    // Extra text after the quoted program path.
    std::wstring arguments;
};

// A process the test started. It is never left behind: the destructor ends it if it still runs.
class StartedProcess {
  public:
    StartedProcess() = default;
    StartedProcess(StartedProcess&&) = default;
    StartedProcess& operator=(StartedProcess&&) = default;
    ~StartedProcess();

    static StartedProcess Start(const LaunchOptions& options, std::string* error);
    // A process started some other way (through the host's shell), by its id.
    static StartedProcess Open(DWORD processId, std::string* error);

    explicit operator bool() const { return static_cast<bool>(process_); }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    bool IsRunning() const;
    // The exit code once the process has ended within timeout, pumping this thread's messages meanwhile.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout) const;
    void Terminate() const;

  private:
    tavro::UniqueHandle process_;
    DWORD id_ = 0;
};

// Waits until no process of that file name is left in the prefix; false at the deadline.
bool WaitUntilNoProcessNamed(const std::wstring& exeFileName, std::chrono::milliseconds timeout);

struct LoadedModule {
    std::wstring name;  // file name, in capitals
    std::wstring path;  // full path, in capitals
};

// The modules loaded in a running process; empty when unreadable.
std::vector<LoadedModule> ModulesOf(DWORD processId);

}  // namespace e2e
