#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/ComApartment.h"
#include "window/AccessibleDescription.h"
#include "window/Descriptions.h"

namespace tavro {

// Gives a window and its buttons their descriptions for screen readers: each answers
// WM_GETOBJECT for its client area with its standard accessible object, wrapped to add the
// description (AccessibleDescription). The buttons stay the system's own "Button" windows; they
// are subclassed for that one message. Owned by the form, which outlives its windows.
class AccessibleWindows {
  public:
    AccessibleWindows() = default;
    ~AccessibleWindows() { WindowsDestroyed(); }
    AccessibleWindows(const AccessibleWindows&) = delete;
    AccessibleWindows& operator=(const AccessibleWindows&) = delete;

    // The answer to a WM_GETOBJECT that window (a client area described by sentence) received,
    // or nothing when it is not ours to give (another object than the client area, or oleacc
    // missing): the window procedure then passes the message on as before.
    std::optional<LRESULT> Answer(HWND window, const PictureSentence& sentence, WPARAM wParam, LPARAM lParam);

    // Makes button (the system's push button, a child of the form) answer for itself with
    // sentence, which must last as long as the button.
    bool DescribeButton(HWND button, const PictureSentence& sentence);

    // The windows are being destroyed: every object handed out fails from now on.
    void WindowsDestroyed();

  private:
    struct Subclass {
        AccessibleWindows* owner;
        const PictureSentence* sentence;
        WNDPROC original;
    };

    static LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);

    std::shared_ptr<AccessibleWindowLink> link_ = std::make_shared<AccessibleWindowLink>();
    // Marshalling the objects to another process takes COM on this thread, entered at the first
    // question only.
    std::optional<ComApartment> com_;
    std::vector<std::unique_ptr<Subclass>> subclasses_;
};

}  // namespace tavro
