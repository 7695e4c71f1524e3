#pragma once

#include <array>
#include <string>

// The sentences the background picture shows beside each button and in its banner. The picture
// is all a sighted user reads; a screen reader gives the same words as each object's accessible
// description. The art generator draws these lines and the window describes itself with them, so
// a changed sentence changes both.
namespace tavro {

// One sentence as the picture breaks it into lines. Unused lines are null.
struct PictureSentence {
    std::array<const wchar_t*, 3> lines;

    // The sentence as one text, its lines joined without a break, as a screen reader reads it.
    std::wstring Joined() const {
        std::wstring text;
        for (const wchar_t* line : lines) {
            if (line != nullptr) {
                text += line;
            }
        }
        return text;
    }
};

// In the banner: what the program is.
inline constexpr PictureSentence kFormDescription = {{
    L"このソフトはインターネットで高画質写真プリントを注文できる",
    L"「Tavro」への簡単注文ソフトです。",
}};
// Under CopyCommand.
inline constexpr PictureSentence kCopyCommandDescription = {{
    L"いつでも写真を注文できるように",
    L"画面（デスクトップ）上にアイコンを",
    L"作成します。",
}};
// Under StartUpCommand.
inline constexpr PictureSentence kStartUpCommandDescription = {{L"今すぐに写真を注文する。"}};
// Under close, in smaller text.
inline constexpr PictureSentence kCloseDescription = {{L"この画面を閉じます。"}};

}  // namespace tavro
