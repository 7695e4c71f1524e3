#include "support/WindowMenu.h"

#include "support/Input.h"
#include "support/TopWindows.h"

namespace e2e {
namespace {

BOOL CALLBACK FindVisibleMenu(HWND window, LPARAM param) {
    if (IsVisibleMenu(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool IsVisibleMenu(HWND window) {
    return IsWindowVisible(window) && ClassNameOf(window) == kMenuClass;
}

HWND VisibleMenuOf(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(threadId, FindVisibleMenu, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool OpenWindowMenu(HWND window, std::string* error) {
    return PressKeys(window, {VK_MENU, VK_SPACE}, error);
}

}  // namespace e2e
