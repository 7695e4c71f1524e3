#pragma once

#include <windows.h>

#include "platform/UniqueResource.h"

namespace e2e {

// A window of this process with the style of Tavro's (caption and window menu, fixed frame),
// shown at (40, 40) on a thread of its own that runs its messages until it is destroyed.
// withoutSizing takes Restore, Size, Minimize and Maximize off its window menu.
class ReferenceWindow {
  public:
    explicit ReferenceWindow(bool withoutSizing);
    ReferenceWindow(const ReferenceWindow&) = delete;
    ReferenceWindow& operator=(const ReferenceWindow&) = delete;
    ~ReferenceWindow();
    // NULL when it could not be made.
    HWND Get() const { return window_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI Run(void* param);

    bool withoutSizing_;
    HWND window_ = nullptr;
    tavro::UniqueHandle ready_;
    tavro::UniqueHandle thread_;
};

}  // namespace e2e
