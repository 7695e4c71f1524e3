#pragma once

// GoogleTest prints a std::wstring as escapes (L"\x756A\x53F7..."), which makes a failing check on
// a Japanese message unreadable. Every unit test file gets this printer through the build (a
// forced include), so no file can print the other way by forgetting an include.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace tavro::test {

// UTF-8 of a wide string: UTF-16 where wchar_t is 16 bits (Windows), UTF-32 elsewhere.
inline std::string Utf8(const std::wstring& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto code = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
                const auto low = static_cast<char32_t>(text[i + 1]);
                if (low >= 0xDC00 && low < 0xE000) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

// L"..." with the text readable; quotes, backslashes and control characters escaped as in C++.
inline void PrintWide(const std::wstring& text, std::ostream* os) {
    std::wstring escaped;
    for (const wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            escaped += L'\\';
            escaped += c;
        } else if (c < 0x20 || c == 0x7F) {
            static const wchar_t kHex[] = L"0123456789ABCDEF";
            escaped += L"\\x";
            escaped += kHex[(c >> 4) & 0xF];
            escaped += kHex[c & 0xF];
        } else {
            escaped += c;
        }
    }
    *os << "L\"" << Utf8(escaped) << '"';
}

}  // namespace tavro::test

// A PrintTo overload for std::wstring would be ambiguous with GoogleTest's own, so the printer
// that GoogleTest's value printing goes through is specialised instead.
namespace testing::internal {
template <>
class UniversalPrinter<std::wstring> {
  public:
    static void Print(const std::wstring& value, std::ostream* os) { tavro::test::PrintWide(value, os); }
};
}  // namespace testing::internal
