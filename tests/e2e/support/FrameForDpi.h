#pragma once

#include <windows.h>

namespace e2e {

// The window size whose client area is client at dpi, with the frame as this system draws it at
// that dpi (AdjustWindowRectExForDpi, Windows 10 1607 on, and Wine; AdjustWindowRectEx where it is
// missing), for window's styles. The driver's own reckoning, asked of the system directly and not
// through the program's window/WindowDpi, so that a fault there cannot pass for the answer.
SIZE FrameFor(HWND window, SIZE client, UINT dpi);

}  // namespace e2e
