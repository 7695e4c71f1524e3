#pragma once

// The control ids of the window's three buttons, in tab order. Kept clear of IDOK and IDCANCEL,
// which the dialog keys send. The end-to-end driver finds the buttons by these ids.
namespace tavro {

inline constexpr int kCopyCommandId = 1001;
inline constexpr int kStartUpCommandId = 1002;
inline constexpr int kCloseId = 1003;

}  // namespace tavro
