#pragma once

#include <windows.h>

#include <string>

// The window menu, as a user opens it with Alt+Space.
namespace e2e {

// Wine's popup menus are top-level windows of this class on the thread running the menu.
inline constexpr const wchar_t* kMenuClass = L"#32768";

// A shown popup menu.
bool IsVisibleMenu(HWND window);
// The shown popup menu of that thread, or NULL.
HWND VisibleMenuOf(DWORD threadId);
// Alt+Space, real keys, at window's top-level window; false with the reason in *error.
bool OpenWindowMenu(HWND window, std::string* error);

}  // namespace e2e
