#include "platform/TemporaryName.h"

#include <cstdint>
#include <limits>

#include "platform/AsciiDigit.h"

namespace tavro {

namespace {

constexpr std::wstring_view kPrefix = L"~Tavro";
constexpr std::wstring_view kSuffix = L".tmp";
constexpr wchar_t kStartMark = L'-';
// 4294967295: the largest process id fits in ten digits.
constexpr std::size_t kMaxDigits = 10;
constexpr std::size_t kStartDigits = 16;
constexpr std::wstring_view kHex = L"0123456789abcdef";

std::optional<unsigned long> ProcessIdIn(std::wstring_view digits) {
    // TemporaryFileName never writes a leading zero, so "~Tavro007.tmp" is someone else's.
    if (digits.empty() || digits.size() > kMaxDigits || (digits.size() > 1 && digits.front() == L'0')) {
        return std::nullopt;
    }
    unsigned long long value = 0;
    for (const wchar_t c : digits) {
        if (!IsAsciiDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned long long>(c - L'0');
    }
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<unsigned long>(value);
}

// Exactly sixteen lower-case hex digits, as TemporaryFileName writes them.
std::optional<unsigned long long> StartIn(std::wstring_view digits) {
    if (digits.size() != kStartDigits) {
        return std::nullopt;
    }
    unsigned long long value = 0;
    for (const wchar_t c : digits) {
        const std::size_t at = kHex.find(c);
        if (at == std::wstring_view::npos) {
            return std::nullopt;
        }
        value = (value << 4) | at;
    }
    return value;
}

}  // namespace

std::wstring TemporaryFileName(unsigned long processId, unsigned long long started) {
    std::wstring start(kStartDigits, L'0');
    for (std::size_t i = kStartDigits; i > 0; --i) {
        start[i - 1] = kHex[started & 0xf];
        started >>= 4;
    }
    // The id's digits by hand: std::to_wstring formats through the C runtime's wide printf, which
    // would bring its whole floating-point formatter into the program for one number.
    wchar_t digits[kMaxDigits];
    std::size_t count = 0;
    do {
        digits[kMaxDigits - 1 - count] = static_cast<wchar_t>(L'0' + processId % 10);
        processId /= 10;
        ++count;
    } while (processId != 0 && count < kMaxDigits);
    std::wstring name(kPrefix);
    name.append(digits + (kMaxDigits - count), count);
    name += kStartMark;
    name += start;
    name.append(kSuffix);
    return name;
}

std::optional<TemporaryOwner> OwnerOfTemporary(std::wstring_view fileName) {
    if (fileName.size() <= kPrefix.size() + kSuffix.size() || fileName.substr(0, kPrefix.size()) != kPrefix ||
        fileName.substr(fileName.size() - kSuffix.size()) != kSuffix) {
        return std::nullopt;
    }
    const std::wstring_view middle = fileName.substr(kPrefix.size(), fileName.size() - kPrefix.size() - kSuffix.size());
    const std::size_t mark = middle.find(kStartMark);
    const std::optional<unsigned long> processId = ProcessIdIn(middle.substr(0, mark));
    if (!processId) {
        return std::nullopt;
    }
    TemporaryOwner owner;
    owner.processId = *processId;
    if (mark != std::wstring_view::npos) {
        owner.started = StartIn(middle.substr(mark + 1));
        if (!owner.started) {
            return std::nullopt;
        }
    }
    return owner;
}

}  // namespace tavro
