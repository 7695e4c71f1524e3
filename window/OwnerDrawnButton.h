#pragma once

#include <windows.h>

namespace tavro {

// A push button that its parent draws (WM_DRAWITEM, as for BS_OWNERDRAW) and that otherwise acts
// like the system's: it takes the focus and the mouse capture when pressed, shows the pushed state
// while held, and sends BN_CLICKED when the mouse button or Space is released over it. It answers
// BM_CLICK, BM_GETSTATE, BM_SETSTATE, WM_SETFONT and WM_GETFONT, and the dialog keyboard interface
// treats it as a button.
//
// The program's own class rather than a superclass of "Button": under the common-controls manifest
// the system's button lives in comctl32 version 6, and loading that library on the way to the first
// paint costs more than the rest of the window together. It still loads, later, for message boxes.
inline constexpr const wchar_t* kOwnerDrawnButtonClass = L"TavroPictureButton";

// Registers the class for this module; true when it is registered, now or before.
bool RegisterOwnerDrawnButtonClass(HINSTANCE instance);

}  // namespace tavro
