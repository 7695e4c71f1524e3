#pragma once

#include <windows.h>

#include "platform/UniqueResource.h"

namespace tavro {

// The window's background picture, drawn for kDefaultDpi, and a copy at the window's resolution
// away from it, scaled once a resolution so that a paint only copies.
class FormBackground {
  public:
    // Unpacks the picture from the program's resources. False when it is missing.
    bool Load(HINSTANCE instance);
    // Makes the copy for dpi. False when it cannot be made.
    bool UseDpi(int dpi);
    // Draws window's whole client area on dc: the picture at the top left, and the class's back
    // colour wherever it does not reach.
    void Paint(HWND window, HDC dc) const;

  private:
    UniqueBitmap picture_;
    UniqueBitmap scaled_;  // away from kDefaultDpi only
};

}  // namespace tavro
