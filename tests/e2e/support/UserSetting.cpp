#include "support/UserSetting.h"

#include "platform/UniqueResource.h"
#include "support/Text.h"

namespace e2e {

ScopedUserSetting::ScopedUserSetting(const wchar_t* subKey,
                                     const wchar_t* name,
                                     DWORD type,
                                     const void* data,
                                     DWORD bytes)
    : subKey_(subKey), name_(name) {
    HKEY raw = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                                  &raw, nullptr);
    if (status != ERROR_SUCCESS) {
        error_ = "cannot open HKCU\\" + Utf8(subKey_) + ": " + DescribeError(static_cast<unsigned long>(status));
        return;
    }
    tavro::UniqueKey key(raw);
    DWORD oldBytes = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &oldType_, nullptr, &oldBytes) == ERROR_SUCCESS) {
        oldData_.resize(oldBytes);
        hadValue_ = RegQueryValueExW(key.get(), name, nullptr, &oldType_, oldData_.data(), &oldBytes) == ERROR_SUCCESS;
    }
    status = RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), bytes);
    if (status != ERROR_SUCCESS) {
        error_ = "cannot set " + Utf8(name_) + ": " + DescribeError(static_cast<unsigned long>(status));
    }
}

ScopedUserSetting::~ScopedUserSetting() {
    HKEY raw = nullptr;
    if (!Applied() || RegOpenKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) {
        return;
    }
    tavro::UniqueKey key(raw);
    if (hadValue_) {
        RegSetValueExW(key.get(), name_.c_str(), 0, oldType_, oldData_.data(), static_cast<DWORD>(oldData_.size()));
    } else {
        RegDeleteValueW(key.get(), name_.c_str());
    }
}

ScopedLogPixels::ScopedLogPixels(DWORD dpi)
    : ScopedUserSetting(L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi) {}

ScopedSystemColour::ScopedSystemColour(const wchar_t* name, const std::wstring& rgb)
    : ScopedUserSetting(L"Control Panel\\Colors",
                        name,
                        REG_SZ,
                        rgb.c_str(),
                        static_cast<DWORD>((rgb.size() + 1) * sizeof(wchar_t))) {}

}  // namespace e2e
