#pragma once

#include <windows.h>

#include <optional>

#include "platform/UniqueResource.h"
#include "window/PictureScale.h"

namespace tavro {

// The pictures, drawn for 96 dpi, at another resolution: scaled once with our own filter
// (window/PictureScale.h) into 32-bit DIB sections, which the window then only copies to the screen.

// The background at dpi, with what lies under the buttons at their 96 dpi places covered first
// (see FillUnderRects). Null when any step fails.
UniqueBitmap ScaleBackgroundPicture(HBITMAP background, int dpi, const LayoutRect* under, int count);

// A face at dpi as the 96 dpi button shows it: its transparent colour, when it has one, already
// the button colour back, so the see-through parts blend into that colour with no fringe of the
// colour left out. Null when any step fails.
UniqueBitmap ScaleFacePicture(HBITMAP face, int dpi, const std::optional<COLORREF>& transparent, COLORREF back);

}  // namespace tavro
