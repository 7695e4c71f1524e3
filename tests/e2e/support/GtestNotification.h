#pragma once

// mingw's win32 thread model has no std::mutex, which GoogleTest's own Notification needs.
// This one waits on a Win32 event; GTEST_HAS_NOTIFICATION_ makes GoogleTest use it.
#include <windows.h>

// Relative: GoogleTest is compiled with this header forced in, and without the project's include path.
#include "../../../platform/UniqueResource.h"

namespace testing {
namespace internal {

class Notification {
  public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    ~Notification() = default;

    void Notify() { SetEvent(event_.get()); }
    void WaitForNotification() { WaitForSingleObject(event_.get(), INFINITE); }

  private:
    tavro::UniqueHandle event_;
};

}  // namespace internal
}  // namespace testing
