#pragma once

#include <windows.h>

namespace tavro {

// The pictures a button may show.
enum class FaceKind { kNormal, kPressed, kDisabled };
inline constexpr int kFaceKinds = 3;

// Which picture a button shows in the given owner-draw state. The normal face stands in for a
// disabled one the button does not have.
FaceKind FaceKindFor(UINT state, bool hasDisabledFace);

// Draws an owner-drawn push button the way the system draws its own, with a picture in place of
// the caption: the button frame, the face centred on the light 3D edge colour, the pushed-in look
// while held, and the focus mark. The face (borrowed) is drawn at its own size, as it is: any
// see-through part already shows the button colour. Each pixel is drawn once (the focus mark
// aside), straight to the button, so a held button does not flicker and nothing is drawn twice.
void DrawPictureButton(const DRAWITEMSTRUCT& item, HBITMAP face);

}  // namespace tavro
