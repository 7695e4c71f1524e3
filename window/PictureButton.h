#pragma once

#include <windows.h>

#include <optional>

namespace tavro {

// The pictures one button shows; all borrowed from the window that owns them.
struct ButtonFaces {
    HBITMAP normal = nullptr;
    HBITMAP pressed = nullptr;
    HBITMAP disabled = nullptr;  // optional; the normal face stands in when there is none
    std::optional<COLORREF> transparent;
    int dpi = 96;  // the faces are drawn for 96 dpi and scaled to this
};

// Draws an owner-drawn push button the way the system draws its own, with a picture in place of
// the caption: the button frame, the face centred on the light 3D edge colour, the pushed-in look
// while held, and the focus mark. Away from 96 dpi the face is scaled with the button, smoothly.
void DrawPictureButton(const DRAWITEMSTRUCT& item, const ButtonFaces& faces);

}  // namespace tavro
