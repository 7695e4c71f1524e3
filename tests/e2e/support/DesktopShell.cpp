#include "support/DesktopShell.h"

#include <algorithm>

#include "platform/UniqueResource.h"
#include "support/Folders.h"
#include "support/HostShell.h"
#include "support/Text.h"
#include "support/Wait.h"

namespace e2e {
namespace {

// True when someone holds the folder open without letting others delete it.
bool HeldOpenBySomeoneElse(const std::wstring& folder) {
    const tavro::UniqueHandle probe(CreateFileW(folder.c_str(), DELETE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
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

}  // namespace e2e
