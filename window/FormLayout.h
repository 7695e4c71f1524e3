#pragma once

#include <array>
#include <optional>

#include "platform/Platform.h"
#include "resources/resource.h"
#include "window/Descriptions.h"
#include "window/Twips.h"
#include "window/WindowNames.h"

namespace tavro {

// Everything about the window and its buttons that is fixed: its layout here, the names other
// programs find it by in window/WindowNames.h.

inline constexpr int kClientWidthTwips = 7770;
inline constexpr int kClientHeightTwips = 4065;
// The white that StartUpCommand leaves undrawn so its back colour shows through.
inline constexpr unsigned kPureWhite = 0x00FFFFFF;

using ClickHandler = void (*)(Platform&);

struct ButtonDefinition {
    const wchar_t* name;
    // The window text: drawn nowhere (the picture says it all), but screen readers and UI
    // automation name a push button by it.
    const wchar_t* text;
    // What the background picture says of the button, which a screen reader gives as its
    // description.
    const PictureSentence& description;
    int id;  // control id (window/ControlIds.h)
    LayoutRect bounds;
    int normalFace;
    int pressedFace;
    std::optional<int> disabledFace;
    std::optional<unsigned> transparentColour;  // COLORREF
    ClickHandler click;
};

// In tab order. Defined in FormLayout.cpp, the one file that names the handlers.
extern const std::array<ButtonDefinition, 3> kButtons;

}  // namespace tavro
