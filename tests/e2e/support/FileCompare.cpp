#include "support/FileCompare.h"

#include <windows.h>

#include <algorithm>

#include "platform/UniqueResource.h"
#include "support/Text.h"
#include "support/Wait.h"

namespace e2e {

std::optional<std::string> ReadWholeFile(const std::wstring& path, std::string* error) {
    tavro::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        *error = "cannot open " + Utf8(path) + ": " + DescribeError(GetLastError());
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    for (;;) {
        if (!ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr)) {
            *error = "cannot read " + Utf8(path) + ": " + DescribeError(GetLastError());
            return std::nullopt;
        }
        if (read == 0) {
            return bytes;
        }
        bytes.append(chunk, read);
    }
}

std::string DescribeDifference(const std::string& actual, const std::string& expected) {
    if (actual == expected) {
        return {};
    }
    const auto mismatch = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    const auto offset = static_cast<std::size_t>(mismatch.first - actual.begin());
    return "size " + std::to_string(actual.size()) + " (expected " + std::to_string(expected.size()) +
           "), first difference at byte " + std::to_string(offset);
}

std::string CompareFiles(const std::wstring& path, const std::wstring& reference) {
    std::string error;
    const std::optional<std::string> actual = ReadWholeFile(path, &error);
    if (!actual) {
        return error;
    }
    const std::optional<std::string> expected = ReadWholeFile(reference, &error);
    if (!expected) {
        return error;
    }
    const std::string difference = DescribeDifference(*actual, *expected);
    return difference.empty() ? std::string() : Utf8(path) + " differs from " + Utf8(reference) + ": " + difference;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes, std::string* error) {
    tavro::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        *error = "cannot create " + Utf8(path) + ": " + DescribeError(GetLastError());
        return false;
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        *error = "cannot write " + Utf8(path) + ": " + DescribeError(GetLastError());
        return false;
    }
    return true;
}

std::vector<std::wstring> NamesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    tavro::UniqueFind search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

std::string ToString(const std::vector<std::wstring>& names) {
    if (names.empty()) {
        return "(nothing)";
    }
    std::string out;
    for (const std::wstring& name : names) {
        out += (out.empty() ? "\"" : ", \"") + Utf8(name) + "\"";
    }
    return out;
}

std::string DescribeFolder(const std::wstring& folder) {
    std::string out;
    for (const std::wstring& name : NamesIn(folder)) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        const bool known = GetFileAttributesExW((folder + L"\\" + name).c_str(), GetFileExInfoStandard, &data) != FALSE;
        out +=
            (out.empty() ? "" : ", ") + Utf8(name) + " (" +
            (known ? std::to_string((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) +
                         " bytes"
                   : "size unknown") +
            ")";
    }
    return out.empty() ? "(nothing)" : out;
}

bool IsReadOnly(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool DeleteWhenFree(const std::wstring& path, std::string* error) {
    DWORD last = ERROR_SUCCESS;
    const bool deleted = PollUntil(
        [&] {
            if (DeleteFileW(path.c_str())) {
                last = ERROR_SUCCESS;
                return true;
            }
            last = GetLastError();
            return last != ERROR_SHARING_VIOLATION;
        },
        std::chrono::milliseconds(3000));
    if (!deleted || last != ERROR_SUCCESS) {
        *error = "cannot delete " + Utf8(path) + ": " + DescribeError(last);
        return false;
    }
    return true;
}

}  // namespace e2e
