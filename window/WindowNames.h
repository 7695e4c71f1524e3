#pragma once

namespace tavro {

// What the window is called where other programs look: its class and caption, which screen
// readers, automation and the end-to-end driver find it by, and its buttons' class.
inline constexpr const wchar_t* kFormClass = L"TavroForm";
inline constexpr const wchar_t* kFormCaption = L"TavroModule";
// The system's push button. Which one CreateWindowExW gives depends on the activation context
// active at the call: with none holding the common controls version 6 (the process's own manifest
// leaves them out, and only message boxes get them) it is user32's classic button, and comctl32
// does not load before the first paint. Screen readers and UI automation know either by its class.
inline constexpr const wchar_t* kButtonClass = L"Button";

}  // namespace tavro
