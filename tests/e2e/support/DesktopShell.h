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

}  // namespace e2e
