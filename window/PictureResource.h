#pragma once

#include <windows.h>

#include "platform/UniqueResource.h"

#include <cstdint>

namespace tavro {

// A new top-down 32-bit DIB section, the form every picture the window draws takes; *bits points
// at its pixels (0x00RRGGBB, top row first). Null when GDI cannot make it.
UniqueBitmap CreatePictureSection(int width, int height, std::uint32_t** bits);

// One of the program's packed pictures (window/PackedPicture.h), an RCDATA resource, unpacked
// straight into a new top-down 32-bit DIB section. Null when it is missing or damaged.
UniqueBitmap LoadPicture(HINSTANCE instance, int id);

}  // namespace tavro
