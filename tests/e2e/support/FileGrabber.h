#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>

#include "platform/UniqueResource.h"

namespace e2e {

// Opens one file the moment it appears, for reading (sharing read and write, not delete), holds it
// for holdFor, then lets go: what the desktop shell or a virus scanner does to a new file, but
// every time. It asks for the file by name in a tight loop, so it does not depend on change
// notifications arriving while a short-lived file still exists.
class FileGrabber {
  public:
    FileGrabber(std::wstring path, std::chrono::milliseconds holdFor);
    FileGrabber(const FileGrabber&) = delete;
    FileGrabber& operator=(const FileGrabber&) = delete;
    ~FileGrabber();

    bool Started() const { return static_cast<bool>(thread_); }
    // True once the file has been held (it may have been let go since).
    bool Grabbed() const { return grabbed_.load(); }

  private:
    static DWORD WINAPI Run(void* self);
    void Grab();

    std::wstring path_;
    std::chrono::milliseconds holdFor_;
    std::atomic<bool> grabbed_{false};
    std::atomic<bool> stop_{false};
    tavro::UniqueHandle thread_;
};

}  // namespace e2e
