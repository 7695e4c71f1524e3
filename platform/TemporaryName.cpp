#include "platform/TemporaryName.h"

#include <cstdint>
#include <limits>

namespace tavro {

namespace {

constexpr std::wstring_view kPrefix = L"~Tavro";
constexpr std::wstring_view kSuffix = L".tmp";
// 4294967295: the largest process id fits in ten digits.
constexpr std::size_t kMaxDigits = 10;

}  // namespace

std::wstring TemporaryFileName(unsigned long processId) {
    // Digits by hand: std::to_wstring formats through the C runtime's wide printf, which would
    // bring its whole floating-point formatter into the program for one number.
    wchar_t digits[kMaxDigits];
    std::size_t count = 0;
    do {
        digits[kMaxDigits - 1 - count] = static_cast<wchar_t>(L'0' + processId % 10);
        processId /= 10;
        ++count;
    } while (processId != 0 && count < kMaxDigits);
    std::wstring name(kPrefix);
    name.append(digits + (kMaxDigits - count), count);
    name.append(kSuffix);
    return name;
}

std::optional<unsigned long> ProcessIdOfTemporary(std::wstring_view fileName) {
    if (fileName.size() <= kPrefix.size() + kSuffix.size() || fileName.substr(0, kPrefix.size()) != kPrefix ||
        fileName.substr(fileName.size() - kSuffix.size()) != kSuffix) {
        return std::nullopt;
    }
    const std::wstring_view digits = fileName.substr(kPrefix.size(), fileName.size() - kPrefix.size() - kSuffix.size());
    // TemporaryFileName never writes a leading zero, so "~Tavro007.tmp" is someone else's.
    if (digits.size() > kMaxDigits || (digits.size() > 1 && digits.front() == L'0')) {
        return std::nullopt;
    }
    unsigned long long value = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned long long>(c - L'0');
    }
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<unsigned long>(value);
}

}  // namespace tavro
