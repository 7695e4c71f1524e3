#include "support/DllOverrides.h"

#include <windows.h>

#include "platform/UniqueResource.h"
#include "support/Text.h"

namespace e2e {

NativeFirstFor::NativeFirstFor(const std::wstring& exeFileName, const std::vector<std::wstring>& dllNames)
    : appKey_(L"Software\\Wine\\AppDefaults\\" + exeFileName) {
    HKEY raw = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, (appKey_ + L"\\DllOverrides").c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS) {
        error_ = "cannot create the DllOverrides key: " + DescribeError(static_cast<unsigned long>(status));
        return;
    }
    tavro::UniqueKey key(raw);
    const std::wstring order = L"native,builtin";
    for (const std::wstring& name : dllNames) {
        status = RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order.c_str()),
                                static_cast<DWORD>((order.size() + 1) * sizeof(wchar_t)));
        if (status != ERROR_SUCCESS) {
            error_ =
                "cannot set the override for " + Utf8(name) + ": " + DescribeError(static_cast<unsigned long>(status));
            return;
        }
    }
}

NativeFirstFor::~NativeFirstFor() {
    RegDeleteTreeW(HKEY_CURRENT_USER, appKey_.c_str());
}

}  // namespace e2e
