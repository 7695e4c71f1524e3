#pragma once

namespace tavro {

// The program's name, as the captions of its message boxes give it.
inline constexpr const wchar_t* kProgramTitle = L"Tavro";

}  // namespace tavro
