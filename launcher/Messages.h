#pragma once

#include "platform/ProgramTitle.h"

namespace tavro::messages {

inline constexpr const wchar_t* kCheckNumber = L"番号を今一度お確かめ下さい。";
inline constexpr const wchar_t* kCheckNumberTitle = kProgramTitle;
inline constexpr const wchar_t* kCopied = L"デスクトップにコピーしました。";
inline constexpr const wchar_t* kCopyFailed = L"デスクトップにコピーできませんでした。";

}  // namespace tavro::messages
