#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

#include "platform/UniqueResource.h"
#include "window/FormLayout.h"
#include "window/PictureButton.h"
#include "window/Twips.h"

namespace tavro {

// The buttons' faces (kButtons), as the resources hold them, drawn for kDefaultDpi, and as the
// window draws them: at its resolution, with any see-through part in the button colour. A face
// drawn as it is (kDefaultDpi, nothing see-through) has no second copy.
//
// The normal faces, the ones a first paint shows, are unpacked and made ready before the window
// shows and again at each change of resolution, so that the paint after either only copies. Every
// other face is made when first drawn, and after a change of the button colour, which a paint is
// the first to see, every face again.
class ButtonFaces {
  public:
    // Unpacks the normal faces from the program's resources. False when one is missing.
    bool Load(HINSTANCE instance);
    // Drops every face made for the resolution before and makes the normal faces for dpi. False
    // when one cannot be made.
    bool UseDpi(int dpi);
    // The face to draw for kButtons[button] of kind, borrowed until the next UseDpi; null when it
    // cannot be made. A kind the button has no face of draws nothing.
    HBITMAP Face(std::size_t button, FaceKind kind);

  private:
    using Faces = std::array<UniqueBitmap, kFaceKinds>;

    // The one way the made faces go: for a new resolution or a new button colour.
    void DropMade(int dpi, COLORREF back);

    HINSTANCE instance_ = nullptr;  // the program's own: holds the pictures
    int dpi_ = kDefaultDpi;
    COLORREF back_ = 0;  // the button colour the see-through parts of made faces took
    std::array<Faces, kButtons.size()> drawn_;
    std::array<Faces, kButtons.size()> made_;
};

}  // namespace tavro
