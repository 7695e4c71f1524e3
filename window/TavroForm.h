#pragma once

#include <windows.h>

#include <array>

#include "platform/Platform.h"
#include "platform/UniqueResource.h"
#include "window/AccessibleWindows.h"
#include "window/ButtonFaces.h"
#include "window/FormBackground.h"
#include "window/FormLayout.h"
#include "window/WindowDpi.h"

namespace tavro {

// The program's one window: a fixed-size picture with three picture buttons. This file keeps the
// window's life and its messages; FormDpi.cpp lays it out at a resolution, FormPlacement.cpp keeps
// it where it may be.
class TavroForm {
  public:
    explicit TavroForm(Platform& platform) noexcept : platform_(platform) {}
    ~TavroForm();
    TavroForm(const TavroForm&) = delete;
    TavroForm& operator=(const TavroForm&) = delete;

    // Creates the window hidden, with its pictures and buttons. False when any part is missing.
    bool Create(HINSTANCE instance);
    // Shows the window with the focus on the first button.
    void Show(int showCommand);
    // Destroys the window now; the form is its one owner.
    void Destroy();
    // Gives the window's keyboard interface (Tab, Shift+Tab, Space, Enter) a look at msg first.
    bool PreTranslateMessage(MSG& msg);

    // Null once the window is gone.
    HWND Handle() const noexcept { return window_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateContent(HINSTANCE instance);
    bool CreateButtons(HINSTANCE instance);
    void OnCommand(int id, int code);
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    void OnActivate(bool active);
    void ClickFocusedButton();

    // FormDpi.cpp: the window at a resolution.
    // Everything that depends on the resolution: the button places and font, the pictures. False
    // when a picture cannot be made for it.
    bool UseDpi(int dpi);
    SIZE FrameSize(int dpi) const;
    // Makes the client area exactly the twips size at dpi_, wherever Windows' frame ended up.
    void FitClientArea();
    bool OnGetDpiScaledSize(int dpi, SIZE& size) const;
    void OnDpiChanged(int dpi, const RECT& suggested);

    // FormPlacement.cpp: where the window may be put, whatever it was told.
    // Where a window of frame's size is centred on the primary monitor's work area.
    static POINT CentredOnWorkArea(SIZE frame);
    // The suggested rectangle where Windows could have suggested it, else the window where it is
    // at its size for dpi_.
    RECT PlaceForDpi(const RECT& suggested) const;
    // Moves the window, its size kept, onto the work area of its monitor, or at least its caption.
    void KeepOnWorkArea();
    // A minimised window has no client area to fit: its restored size, set for the DPI before,
    // is set for dpi_ instead.
    void SizeRestoredWindowForDpi(int before);
    // Lets the window be as large as its frame at dpi_, though that be larger than the screen.
    void AllowFrameSize(MINMAXINFO& limits) const;
    // Restored from minimised, the client area is made exact for dpi_ once more.
    void OnSize(WPARAM kind);

    Platform& platform_;
    HWND window_ = nullptr;
    HWND focusWhenInactive_ = nullptr;
    WindowDpi dpiCalls_;
    int dpi_ = kDefaultDpi;
    bool perMonitor_ = false;
    bool minimised_ = false;
    FormBackground background_;
    ButtonFaces faces_;
    UniqueFont buttonFont_;
    // By kButtons' order; children of ours, destroyed with us.
    std::array<HWND, kButtons.size()> buttons_{};
    // What screen readers hear beyond the window texts; its objects fail once the windows are gone.
    AccessibleWindows accessible_;
};

}  // namespace tavro
