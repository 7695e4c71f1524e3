#include "window/WindowDpi.h"

#include "platform/UniqueResource.h"
#include "window/Twips.h"

namespace tavro {

namespace {

// DPI_AWARENESS_PER_MONITOR_AWARE: per-monitor version 1 and 2 alike.
constexpr int kPerMonitorAware = 2;

template <typename Function>
Function Look(HMODULE module, const char* name) {
    return module == nullptr ? nullptr
                             : reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

WindowDpi::WindowDpi() noexcept {
    // user32 is loaded for as long as the program runs: it imports it.
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    getDpiForWindow_ = Look<GetDpiForWindowFn>(user32, "GetDpiForWindow");
    adjustWindowRectExForDpi_ = Look<AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi");
    getWindowDpiAwarenessContext_ = Look<GetWindowDpiAwarenessContextFn>(user32, "GetWindowDpiAwarenessContext");
    getAwarenessFromDpiAwarenessContext_ =
        Look<GetAwarenessFromDpiAwarenessContextFn>(user32, "GetAwarenessFromDpiAwarenessContext");
}

int WindowDpi::System() noexcept {
    const WindowDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kDefaultDpi;
}

int WindowDpi::Of(HWND window) const noexcept {
    const UINT dpi = getDpiForWindow_ != nullptr ? getDpiForWindow_(window) : 0;
    return dpi != 0 ? static_cast<int>(dpi) : System();
}

bool WindowDpi::PerMonitor(HWND window) const noexcept {
    if (getWindowDpiAwarenessContext_ == nullptr || getAwarenessFromDpiAwarenessContext_ == nullptr) {
        return false;
    }
    const HANDLE context = getWindowDpiAwarenessContext_(window);
    return context != nullptr && getAwarenessFromDpiAwarenessContext_(context) == kPerMonitorAware;
}

SIZE WindowDpi::FrameFor(SIZE client, DWORD style, DWORD exStyle, int dpi) const noexcept {
    RECT frame{0, 0, client.cx, client.cy};
    const bool scaled = adjustWindowRectExForDpi_ != nullptr &&
                        adjustWindowRectExForDpi_(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)) != FALSE;
    if (!scaled) {
        frame = RECT{0, 0, client.cx, client.cy};
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

}  // namespace tavro
