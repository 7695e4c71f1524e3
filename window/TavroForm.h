#pragma once

#include <windows.h>

#include <array>

#include "platform/Platform.h"
#include "platform/UniqueResource.h"
#include "window/AccessibleWindows.h"
#include "window/FormLayout.h"
#include "window/PictureButton.h"
#include "window/WindowDpi.h"

namespace tavro {

// The program's one window: a fixed-size picture with three picture buttons.
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

    // Draws the client area; used for WM_PAINT and WM_PRINTCLIENT alike.
    void PaintContent(HDC dc) const;

  private:
    struct Button {
        HWND window = nullptr;  // a child of ours: destroyed with us
        // By FaceKind: as drawn, for 96 dpi (the disabled one only where the button has one), and
        // at dpi_ with any see-through part in the button colour (at 96 dpi only for a face with
        // a see-through colour). The normal face is unpacked with the window, every other one
        // when first shown.
        std::array<UniqueBitmap, kFaceKinds> faces;
        std::array<UniqueBitmap, kFaceKinds> scaled;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateContent(HINSTANCE instance);
    bool CreateButtons(HINSTANCE instance);
    // Everything that depends on the resolution: the button places and font, the scaled pictures.
    void UseDpi(int dpi);
    bool ScalePictures();
    SIZE FrameSize(int dpi) const;
    // Makes the client area exactly the twips size at dpi_, wherever Windows' frame ended up.
    void FitClientArea();
    bool OnGetDpiScaledSize(int dpi, SIZE& size) const;
    void OnDpiChanged(int dpi, const RECT& suggested);
    // FormPlacement.cpp: where the window may be put, whatever it was told.
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
    void OnCommand(int id, int code);
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    // The face to draw for kind at dpi_, scaled when first needed; borrowed from buttons_.
    HBITMAP FaceToDraw(std::size_t button, FaceKind kind);
    void OnActivate(bool active);
    void ClickFocusedButton();

    Platform& platform_;
    HINSTANCE instance_ = nullptr;  // the program's own: holds the pictures
    HWND window_ = nullptr;
    HWND focusWhenInactive_ = nullptr;
    WindowDpi dpiCalls_;
    int dpi_ = 96;
    bool perMonitor_ = false;
    bool minimised_ = false;
    UniqueBitmap background_;
    UniqueBitmap scaledBackground_;  // away from 96 dpi only
    COLORREF scaledFacesBack_ = 0;   // the button colour the faces' see-through parts took
    UniqueFont buttonFont_;
    std::array<Button, kButtons.size()> buttons_;
    // What screen readers hear beyond the window texts; its objects fail once the windows are gone.
    AccessibleWindows accessible_;
};

}  // namespace tavro
