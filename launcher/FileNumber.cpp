#include "launcher/FileNumber.h"

namespace tavro {

std::wstring FileNumberFromProgramName(std::wstring_view programName) {
    const std::size_t underscore = programName.find(L'_');
    const std::wstring_view tail =
        underscore == std::wstring_view::npos ? programName : programName.substr(underscore + 1);

    std::wstring number;
    for (const wchar_t c : tail) {
        // Only U+0030..U+0039: full-width and other Unicode digits never count.
        if (c >= L'0' && c <= L'9') {
            number.push_back(c);
        }
    }
    return number;
}

}  // namespace tavro
