// Where the window may be put: on a monitor's work area, whatever a message suggested.
#include "window/TavroForm.h"

#include <algorithm>

#include "window/WorkArea.h"

namespace tavro {

namespace {

// Room beyond the frame Windows reports, for FitClientArea to grow the window into where the frame
// is drawn larger than that.
constexpr LONG kFitSlack = 64;

ScreenBox BoxOf(const RECT& r) {
    return ScreenBox{r.left, r.top, r.right, r.bottom};
}

}  // namespace

// Where the window first opens: the middle of the work area, or its top left corner for a window
// larger than that.
POINT TavroForm::CentredOnWorkArea(SIZE frame) {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const LONG left = work.left + (work.right - work.left - frame.cx) / 2;
    const LONG top = work.top + (work.bottom - work.top - frame.cy) / 2;
    return POINT{std::max(left, work.left), std::max(top, work.top)};
}

// Windows suggests a rectangle on the monitor the window moves to; one with no area, or on no
// monitor at all, came from someone else and is not taken: the window stays where it is.
RECT TavroForm::PlaceForDpi(const RECT& suggested) const {
    if (HasArea(BoxOf(suggested)) && MonitorFromRect(&suggested, MONITOR_DEFAULTTONULL) != nullptr) {
        return suggested;
    }
    RECT now{};
    GetWindowRect(window_, &now);
    const SIZE frame = FrameSize(dpi_);
    return RECT{now.left, now.top, now.left + frame.cx, now.top + frame.cy};
}

// At start, after a DPI change and after the display changed (a smaller resolution, a monitor
// removed): the window may be larger than its monitor at a high scale, and its caption must stay
// where the mouse can take it.
void TavroForm::KeepOnWorkArea() {
    RECT frame{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (IsIconic(window_) || !GetWindowRect(window_, &frame) ||
        !GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const ScreenBox placed = PlacedOnWorkArea(BoxOf(frame), BoxOf(monitor.rcWork));
    if (placed.left != frame.left || placed.top != frame.top) {
        SetWindowPos(window_, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Whether Windows sends WM_DPICHANGED to a minimised window only real Windows shows; another
// program can. Either way the window restored must have the client area of the DPI it is at. The
// restored size had the exact client area at the DPI before (FitClientArea saw to it), and grows by
// what the frame for the new one adds, so a frame that Windows draws otherwise than it says cancels
// out. The restored place is in workspace coordinates, so only its size is changed.
void TavroForm::SizeRestoredWindowForDpi(int before) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window_, &placement)) {
        return;
    }
    const SIZE from = FrameSize(before);
    const SIZE to = FrameSize(dpi_);
    RECT& restored = placement.rcNormalPosition;
    restored.right += to.cx - from.cx;
    restored.bottom += to.cy - from.cy;
    SetWindowPlacement(window_, &placement);
}

// The system keeps a window within the screen's size unless told otherwise, and at a high scale
// on a small screen the window is larger than that: clamped, the close picture would lie beyond
// the client area. The window is kept on the screen by its caption instead (KeepOnWorkArea).
void TavroForm::AllowFrameSize(MINMAXINFO& limits) const {
    const SIZE frame = FrameSize(dpi_);
    limits.ptMaxTrackSize.x = std::max(limits.ptMaxTrackSize.x, frame.cx + kFitSlack);
    limits.ptMaxTrackSize.y = std::max(limits.ptMaxTrackSize.y, frame.cy + kFitSlack);
}

// The restored size set while minimised is what the frame at dpi_ should need; where the system
// draws the frame otherwise (seen under Wine), the client area is fitted once
// the window is back.
void TavroForm::OnSize(WPARAM kind) {
    if (kind == SIZE_MINIMIZED) {
        minimised_ = true;
    } else if (kind == SIZE_RESTORED && minimised_) {
        minimised_ = false;
        FitClientArea();
    }
}

}  // namespace tavro
