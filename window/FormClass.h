#pragma once

#include <windows.h>

namespace tavro {

// Like a dialog's frame: a caption with a close box and nothing to size, minimise or maximise
// with. The children draw themselves, so the window paints around them.
inline constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
inline constexpr DWORD kFormExStyle = 0;

// Registers the window class (kFormClass) with the program's icons, once a process. False when
// Windows refuses it.
bool RegisterFormClass(HINSTANCE instance, WNDPROC procedure);

// Takes out of window's menu what its frame cannot do: size, minimise, maximise, restore.
void TrimWindowMenu(HWND window);

}  // namespace tavro
