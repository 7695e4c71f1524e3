#include "support/Folders.h"

#include <algorithm>

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/UniqueResource.h"
#include "support/Layout.h"
#include "support/Text.h"

namespace e2e {
namespace {

constexpr const wchar_t* kUserShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const wchar_t* kShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct ReadResult {
    bool present = false;
    DWORD type = 0;
    std::wstring value;
};

ReadResult ReadString(const wchar_t* subKey, const wchar_t* name) {
    ReadResult result;
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) {
        return result;
    }
    tavro::UniqueKey key(raw);
    DWORD bytes = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &result.type, nullptr, &bytes) != ERROR_SUCCESS) {
        return result;
    }
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), name, nullptr, &result.type, reinterpret_cast<BYTE*>(value.data()), &bytes) !=
        ERROR_SUCCESS) {
        return result;
    }
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    result.present = true;
    result.value = value;
    return result;
}

LONG WriteString(const wchar_t* subKey, const wchar_t* name, DWORD type, const std::wstring& value) {
    HKEY raw = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    tavro::UniqueKey key(raw);
    return RegSetValueExW(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void DeleteValue(const wchar_t* subKey, const wchar_t* name) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_SET_VALUE, &raw) == ERROR_SUCCESS) {
        tavro::UniqueKey key(raw);
        RegDeleteValueW(key.get(), name);
    }
}

}  // namespace

std::wstring DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return {};
    }
    return path;
}

std::wstring DownloadsFolder() {
    wchar_t* path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &path))) {
        result = path;
    }
    CoTaskMemFree(path);
    return result;
}

std::wstring UserProfileFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return {};
    }
    return path;
}

bool FolderExists(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsReparsePoint(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool CreateFolderTree(const std::wstring& folder) {
    if (FolderExists(folder)) {
        return true;
    }
    const std::size_t separator = folder.find_last_of(L'\\');
    if (separator != std::wstring::npos && separator > 2) {
        CreateFolderTree(folder.substr(0, separator));
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    return FolderExists(folder);
}

std::wstring InstallCopy(const std::wstring& source,
                         const std::wstring& folder,
                         const std::wstring& fileName,
                         std::string* error) {
    if (!CreateFolderTree(folder)) {
        *error = "cannot create folder " + Utf8(folder) + ": " + DescribeError(GetLastError());
        return {};
    }
    const std::wstring target = folder + L"\\" + fileName;
    if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        *error = "CopyFileW(" + Utf8(source) + " -> " + Utf8(target) + ") failed: " + DescribeError(GetLastError());
        return {};
    }
    return target;
}

std::wstring InstallTavro(const std::wstring& folder, const std::wstring& fileName, std::string* error) {
    return InstallCopy(layout::kTavro, folder, fileName, error);
}

DesktopRedirect::DesktopRedirect(const std::wstring& folder) {
    const ReadResult user = ReadString(kUserShellFolders, L"Desktop");
    userShellFolders_ = {user.present, user.type, user.value};
    const ReadResult shell = ReadString(kShellFolders, L"Desktop");
    shellFolders_ = {shell.present, shell.type, shell.value};

    LONG status = WriteString(kUserShellFolders, L"Desktop", REG_EXPAND_SZ, folder);
    if (status == ERROR_SUCCESS) {
        status = WriteString(kShellFolders, L"Desktop", REG_SZ, folder);
    }
    applied_ = status == ERROR_SUCCESS;
    if (!applied_) {
        error_ =
            "cannot write the desktop folder to the registry: " + DescribeError(static_cast<unsigned long>(status));
    }
}

DesktopRedirect::~DesktopRedirect() {
    const auto restore = [](const wchar_t* subKey, const Saved& saved) {
        if (saved.present) {
            WriteString(subKey, L"Desktop", saved.type, saved.value);
        } else {
            DeleteValue(subKey, L"Desktop");
        }
    };
    restore(kUserShellFolders, userShellFolders_);
    restore(kShellFolders, shellFolders_);
}

std::wstring ThroughUnixRoot(const std::wstring& folder, std::string* error) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr) {
        *error = "not running under Wine";
        return std::wstring();
    }
    char* unixFolder = unixName(folder.c_str());
    if (unixFolder == nullptr) {
        *error = "no Unix name for " + Utf8(folder);
        return std::wstring();
    }
    std::wstring throughZ = L"Z:" + Wide(unixFolder);
    HeapFree(GetProcessHeap(), 0, unixFolder);
    std::replace(throughZ.begin(), throughZ.end(), L'/', L'\\');
    return throughZ;
}

}  // namespace e2e
