#include "launcher/CopyMarkers.h"

#include <algorithm>
#include <iterator>

#include "platform/AsciiDigit.h"

namespace tavro {

namespace {

constexpr std::size_t kMaxCopyNumberDigits = 4;

// Explorer's words for a copy, English and Japanese.
constexpr std::wstring_view kCopyWords[] = {L" - Copy", L" - \u30B3\u30D4\u30FC"};

bool EndsWith(std::wstring_view text, std::wstring_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Length of a "(N)" or " (N)" at the end of name, or 0.
std::size_t NumberedMarkerLength(std::wstring_view name) {
    if (name.empty() || name.back() != L')') {
        return 0;
    }
    std::size_t digits = 0;
    while (digits <= kMaxCopyNumberDigits && digits < name.size() - 1 && IsAsciiDigit(name[name.size() - 2 - digits])) {
        ++digits;
    }
    if (digits == 0 || digits > kMaxCopyNumberDigits || digits + 2 > name.size() ||
        name[name.size() - 2 - digits] != L'(') {
        return 0;
    }
    std::size_t length = digits + 2;
    // Chrome and Edge put a space before the bracket; Firefox does not.
    if (length < name.size() && name[name.size() - 1 - length] == L' ') {
        ++length;
    }
    return length;
}

std::size_t CopyMarkerLength(std::wstring_view name) {
    if (const std::size_t numbered = NumberedMarkerLength(name); numbered != 0) {
        return numbered;
    }
    const auto* const word = std::find_if(std::begin(kCopyWords), std::end(kCopyWords),
                                          [name](std::wstring_view w) { return EndsWith(name, w); });
    return word == std::end(kCopyWords) ? 0 : word->size();
}

}  // namespace

std::wstring_view WithoutCopyMarkers(std::wstring_view programName) {
    while (const std::size_t marker = CopyMarkerLength(programName)) {
        programName.remove_suffix(marker);
    }
    return programName;
}

}  // namespace tavro
