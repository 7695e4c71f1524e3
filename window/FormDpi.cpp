// The window at a resolution: its size, its buttons' places and font, and its pictures, all from
// the twips layout; and what follows when Windows moves it to a monitor of another resolution.
#include "window/TavroForm.h"

#include "window/FormClass.h"
#include "window/WorkArea.h"

namespace tavro {

namespace {

// The buttons carry a caption font though they draw no caption: System, 13.5 pt, Shift JIS.
UniqueFont CreateButtonFont(int dpi) {
    return UniqueFont(CreateFontW(-MulDiv(135, dpi, 720), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                  L"System"));
}

SIZE ClientSize(int dpi) {
    return SIZE{TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)};
}

}  // namespace

// At creation and after every change of resolution alike.
bool TavroForm::UseDpi(int dpi) {
    dpi_ = dpi;
    UniqueFont font = CreateButtonFont(dpi_);
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const HWND button = buttons_[i];
        if (button == nullptr) {
            continue;
        }
        const LayoutRect place = TwipsToPixels(kButtons[i].bounds, dpi_);
        SetWindowPos(button, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    }
    // The buttons have let go of the old font.
    buttonFont_ = std::move(font);
    const bool background = background_.UseDpi(dpi_);
    return faces_.UseDpi(dpi_) && background;
}

SIZE TavroForm::FrameSize(int dpi) const {
    return dpiCalls_.FrameFor(ClientSize(dpi), kFormStyle, kFormExStyle, dpi);
}

void TavroForm::FitClientArea() {
    RECT client{};
    RECT frame{};
    if (!GetClientRect(window_, &client) || !GetWindowRect(window_, &frame)) {
        return;
    }
    const SIZE want = ClientSize(dpi_);
    const int dx = want.cx - client.right;
    const int dy = want.cy - client.bottom;
    if (dx != 0 || dy != 0) {
        SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Sent before WM_DPICHANGED to a per-monitor (version 2) aware window, so that its suggested
// rectangle has the size asked for here: Windows would otherwise scale the whole window linearly,
// and the caption and frame do not scale linearly, so the client area would drift off the twips.
bool TavroForm::OnGetDpiScaledSize(int dpi, SIZE& size) const {
    if (!perMonitor_ || dpi <= 0) {
        return false;
    }
    size = FrameSize(dpi);
    return true;
}

// Moved to a monitor of another resolution, or the resolution changed: Windows suggests the
// window's new place and size, and the rest follows from the twips. The client area is made exact
// afterwards where the suggested size misses it (per-monitor version 1 sends no WM_GETDPISCALEDSIZE).
void TavroForm::OnDpiChanged(int dpi, const RECT& suggested) {
    if (!perMonitor_ || !IsDpiOfAMonitor(static_cast<unsigned long long>(dpi))) {
        return;  // Windows scales this window itself, as a bitmap; or no monitor has that scale
    }
    const int before = dpi_;
    if (dpi != dpi_) {
        // A picture that cannot be scaled (short of memory) is drawn as it is, a face not at all:
        // the window keeps working.
        UseDpi(dpi);
    }
    if (IsIconic(window_)) {
        SizeRestoredWindowForDpi(before);
        return;
    }
    const RECT place = PlaceForDpi(suggested);
    SetWindowPos(window_, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
    KeepOnWorkArea();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace tavro
