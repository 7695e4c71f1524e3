#pragma once

#include <windows.h>

namespace tavro {

// WM_GETDPISCALEDSIZE (Windows 10 1703 on), named here since the headers show it only to programs
// built for that version.
inline constexpr UINT kGetDpiScaledSize = 0x02E4;

// The resolution calls of Windows 10 1607 on, looked up at run time: Windows 7, 8.1 and early
// Windows 10 lack them, and there the system DPI, fixed at sign-in, is every window's DPI.
//
// What only real Windows shows (Wine 8 gives every window and monitor the one system DPI, and
// never sends a DPI message by itself): a window opening on a monitor whose scale differs from the
// primary one's at sign-in, the frame and caption at that monitor's scale, and which DPI messages
// arrive for which awareness.
class WindowDpi {
  public:
    WindowDpi() noexcept;

    // The system DPI: the primary display's at sign-in.
    static int System() noexcept;
    // The DPI a per-monitor aware window has on the monitor it is on; the system DPI where
    // Windows cannot tell (and for a window that is not per-monitor aware, by Windows' own rule).
    int Of(HWND window) const noexcept;
    // Whether Windows expects the window to scale itself when it changes monitors. Windows 8.1 and
    // Windows 10 before 1607 send WM_DPICHANGED to windows that are not per-monitor aware too,
    // which Windows is already scaling as bitmaps; those must not scale a second time. The
    // program's manifest asks for per-monitor awareness only in the form those versions ignore
    // (dpiAwareness), so where the calls below are missing the window is system aware.
    bool PerMonitor(HWND window) const noexcept;
    // The window size whose client area is client at dpi, frame and caption as they are drawn at
    // that dpi where Windows can say so.
    SIZE FrameFor(SIZE client, DWORD style, DWORD exStyle, int dpi) const noexcept;

  private:
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    using GetWindowDpiAwarenessContextFn = HANDLE(WINAPI*)(HWND);
    using GetAwarenessFromDpiAwarenessContextFn = int(WINAPI*)(HANDLE);

    GetDpiForWindowFn getDpiForWindow_ = nullptr;
    AdjustWindowRectExForDpiFn adjustWindowRectExForDpi_ = nullptr;
    GetWindowDpiAwarenessContextFn getWindowDpiAwarenessContext_ = nullptr;
    GetAwarenessFromDpiAwarenessContextFn getAwarenessFromDpiAwarenessContext_ = nullptr;
};

}  // namespace tavro
