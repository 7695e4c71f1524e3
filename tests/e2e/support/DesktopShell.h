#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

// The desktop shell's side of the desktop folder. Wine's explorer, once the virtual desktop is up,
// creates the desktop folder if it is missing (so a folder removed before that comes back),
// keeps it open (so it cannot be removed through Windows calls), and opens every new file in it
// to read it as a shortcut. Windows' shell, indexers and virus scanners open new files too.
namespace e2e {

// Starts the desktop shell if needed and waits until it holds the desktop folder open, so it
// will not make the folder again; false at the deadline.
bool WaitForDesktopShell(const std::wstring& desktop, std::chrono::milliseconds timeout);

// Removes an empty folder from the host side, as the shell's open handle stops RemoveDirectoryW.
bool RemoveFolderFromHost(const std::wstring& folder, std::string* error);

// Does what a reader of new files does, only dependably: every file created in folder whose name
// ends in suffix is opened at once for reading (sharing read and write, not delete) and held for
// holdFor, then closed.
class NewFileReader {
  public:
    NewFileReader(const std::wstring& folder, const std::wstring& suffix, std::chrono::milliseconds holdFor);
    NewFileReader(const NewFileReader&) = delete;
    NewFileReader& operator=(const NewFileReader&) = delete;
    ~NewFileReader();

    bool Started() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    // Names the reader managed to open so far (it can come too late for a short-lived file).
    std::vector<std::wstring> Opened() const;

  private:
    struct Held {
        HANDLE file;
        std::chrono::steady_clock::time_point until;
    };
    static DWORD WINAPI Run(void* self);
    void Watch();
    void Take(const std::wstring& name);
    void CloseDue(bool all);

    std::wstring folder_;
    std::wstring suffix_;
    std::chrono::milliseconds holdFor_;
    std::string error_;
    HANDLE directory_ = INVALID_HANDLE_VALUE;
    HANDLE changed_ = nullptr;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
    mutable CRITICAL_SECTION lock_;
    std::vector<std::wstring> opened_;  // guarded by lock_
    std::vector<Held> held_;            // the watching thread's alone
};

}  // namespace e2e
