#pragma once

#include <optional>
#include <string>
#include <vector>

// Looking at files the program wrote, for checks that print what differs.
namespace e2e {

// The whole file; nullopt (with the reason in *error) when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::wstring& path, std::string* error);

// Empty when both hold the same bytes; otherwise sizes and the first differing offset.
std::string DescribeDifference(const std::string& actual, const std::string& expected);

// "" when the file at path holds exactly the bytes of the file at reference, else why not.
std::string CompareFiles(const std::wstring& path, const std::wstring& reference);

// Deletes path. Wine's desktop shell, like Explorer, opens a new file on the desktop at once and
// keeps it a moment without sharing delete, so a sharing violation is waited out, up to 3 s.
// False (with the reason in *error) when the file is still there.
bool DeleteWhenFree(const std::wstring& path, std::string* error);

// Writes bytes to path, replacing whatever is there; false with the reason in *error.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes, std::string* error);

// Names of everything directly inside folder, sorted; empty when the folder cannot be listed.
std::vector<std::wstring> NamesIn(const std::wstring& folder);
// "a", "b" for failure output.
std::string ToString(const std::vector<std::wstring>& names);

// Every entry of folder with its size, "name (N bytes)", for failure output.
std::string DescribeFolder(const std::wstring& folder);

bool IsReadOnly(const std::wstring& path);

}  // namespace e2e
