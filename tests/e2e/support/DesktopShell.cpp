#include "support/DesktopShell.h"

#include <algorithm>

#include "support/Folders.h"
#include "support/HostShell.h"
#include "support/Text.h"
#include "support/Wait.h"

namespace e2e {
namespace {

// True when someone holds the folder open without letting others delete it.
bool HeldOpenBySomeoneElse(const std::wstring& folder) {
    const HANDLE probe = CreateFileW(folder.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_SHARING_VIOLATION;
    }
    CloseHandle(probe);
    return false;
}

bool EndsWith(const std::wstring& text, const std::wstring& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool WaitForDesktopShell(const std::wstring& desktop, std::chrono::milliseconds timeout) {
    // The first call for the desktop window starts Wine's explorer when it is not running yet.
    GetDesktopWindow();
    return PollUntil([&] { return HeldOpenBySomeoneElse(desktop); }, timeout);
}

bool RemoveFolderFromHost(const std::wstring& folder, std::string* error) {
    const std::wstring unixPath = UnixPathOf(folder);
    if (unixPath.empty()) {
        *error = "no host path for " + Utf8(folder);
        return false;
    }
    if (!StartShellScript(L"rmdir " + ShellQuoted(unixPath), error)) {
        return false;
    }
    if (!PollUntil([&] { return !FolderExists(folder); }, std::chrono::seconds(5))) {
        *error = "rmdir did not remove " + Utf8(folder) + " (is it empty?)";
        return false;
    }
    return true;
}

NewFileReader::NewFileReader(const std::wstring& folder, const std::wstring& suffix, std::chrono::milliseconds holdFor)
    : folder_(folder), suffix_(suffix), holdFor_(holdFor) {
    InitializeCriticalSection(&lock_);
    directory_ =
        CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (directory_ == INVALID_HANDLE_VALUE) {
        error_ = "cannot watch " + Utf8(folder) + ": " + DescribeError(GetLastError());
        return;
    }
    changed_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = changed_ != nullptr && stop_ != nullptr ? CreateThread(nullptr, 0, Run, this, 0, nullptr) : nullptr;
    if (thread_ == nullptr) {
        error_ = "cannot start the reader: " + DescribeError(GetLastError());
    }
}

NewFileReader::~NewFileReader() {
    if (thread_ != nullptr) {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    for (HANDLE h : {changed_, stop_}) {
        if (h != nullptr) {
            CloseHandle(h);
        }
    }
    if (directory_ != INVALID_HANDLE_VALUE) {
        CloseHandle(directory_);
    }
    DeleteCriticalSection(&lock_);
}

std::vector<std::wstring> NewFileReader::Opened() const {
    EnterCriticalSection(&lock_);
    std::vector<std::wstring> copy = opened_;
    LeaveCriticalSection(&lock_);
    return copy;
}

DWORD WINAPI NewFileReader::Run(void* self) {
    static_cast<NewFileReader*>(self)->Watch();
    return 0;
}

void NewFileReader::Watch() {
    alignas(DWORD) char buffer[16384];
    OVERLAPPED overlapped = {};
    overlapped.hEvent = changed_;
    bool pending = false;
    for (;;) {
        if (!pending) {
            ResetEvent(changed_);
            if (!ReadDirectoryChangesW(directory_, buffer, sizeof buffer, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                                       &overlapped, nullptr)) {
                break;
            }
            pending = true;
        }
        DWORD wait = INFINITE;
        if (!held_.empty()) {
            const auto next = std::min_element(held_.begin(), held_.end(), [](const Held& a, const Held& b) {
                                  return a.until < b.until;
                              })->until;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(next - std::chrono::steady_clock::now());
            wait = static_cast<DWORD>(std::max<long long>(left.count(), 0));
        }
        const HANDLE events[] = {stop_, changed_};
        const DWORD woke = WaitForMultipleObjects(2, events, FALSE, wait);
        if (woke == WAIT_OBJECT_0) {
            break;
        }
        if (woke == WAIT_OBJECT_0 + 1) {
            pending = false;
            DWORD bytes = 0;
            if (GetOverlappedResult(directory_, &overlapped, &bytes, FALSE) && bytes > 0) {
                for (std::size_t offset = 0;;) {
                    const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + offset);
                    if (info->Action == FILE_ACTION_ADDED || info->Action == FILE_ACTION_RENAMED_NEW_NAME) {
                        Take(std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t)));
                    }
                    if (info->NextEntryOffset == 0) {
                        break;
                    }
                    offset += info->NextEntryOffset;
                }
            }
        }
        CloseDue(false);
    }
    if (pending) {
        CancelIo(directory_);
        DWORD ignored = 0;
        GetOverlappedResult(directory_, &overlapped, &ignored, TRUE);
    }
    CloseDue(true);
}

void NewFileReader::Take(const std::wstring& name) {
    if (!EndsWith(name, suffix_)) {
        return;
    }
    const HANDLE file = CreateFileW((folder_ + L"\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    held_.push_back({file, std::chrono::steady_clock::now() + holdFor_});
    EnterCriticalSection(&lock_);
    opened_.push_back(name);
    LeaveCriticalSection(&lock_);
}

void NewFileReader::CloseDue(bool all) {
    const auto now = std::chrono::steady_clock::now();
    const auto due = std::partition(held_.begin(), held_.end(), [&](const Held& h) { return !all && h.until > now; });
    for (auto it = due; it != held_.end(); ++it) {
        CloseHandle(it->file);
    }
    held_.erase(due, held_.end());
}

}  // namespace e2e
