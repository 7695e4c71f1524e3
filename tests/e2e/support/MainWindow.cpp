#include "support/MainWindow.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "support/Folders.h"
#include "platform/UniqueResource.h"
#include "support/Input.h"
#include "support/MessageBoxReader.h"
#include "support/Session.h"
#include "support/Text.h"
#include "support/TopWindows.h"
#include "support/Wait.h"

namespace e2e {

void StartMainWindow(const std::wstring& fileName, MainWindow* out) {
    const std::wstring downloads = DownloadsFolder();
    ASSERT_FALSE(downloads.empty()) << "no Downloads folder";
    std::string error;
    const std::wstring path = InstallTavro(downloads, fileName, &error);
    ASSERT_FALSE(path.empty()) << error;
    out->process = StartedProcess::Start({path}, &error);
    ASSERT_TRUE(out->process) << error;

    out->window =
        WaitForVisibleWindow(out->process.Id(), kStartBound, [](HWND candidate) { return !IsMessageBox(candidate); });
    if (out->window == nullptr) {
        std::vector<WindowInfo> shown;
        for (HWND w : TopLevelWindowsOf(out->process.Id())) {
            shown.push_back(Describe(w));
        }
        FAIL() << "expected a main window within " << kStartBound.count() << " ms; windows now: " << ToString(shown)
               << (out->process.IsRunning() ? "" : " (the process has ended)");
    }
    // Let it finish showing and activating before a test acts on it.
    LetHandle(out->window);
    out->threadId = GetWindowThreadProcessId(out->window, nullptr);
    out->copy = GetDlgItem(out->window, kCopyCommandId);
    out->startUp = GetDlgItem(out->window, kStartUpCommandId);
    out->close = GetDlgItem(out->window, kCloseId);
    ASSERT_NE(out->copy, nullptr) << "no child with id " << kCopyCommandId << " (CopyCommand)";
    ASSERT_NE(out->startUp, nullptr) << "no child with id " << kStartUpCommandId << " (StartUpCommand)";
    ASSERT_NE(out->close, nullptr) << "no child with id " << kCloseId << " (close)";
}

RECT RectInParent(HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND FocusOf(DWORD threadId) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

HWND WaitForFocus(DWORD threadId, HWND expected, std::chrono::milliseconds timeout) {
    HWND focus = nullptr;
    PollUntil(
        [&] {
            focus = FocusOf(threadId);
            return focus == expected;
        },
        timeout);
    return focus;
}

std::string NameOf(const MainWindow& main, HWND window) {
    if (window == nullptr) {
        return "NULL";
    }
    if (window == main.copy) {
        return "CopyCommand";
    }
    if (window == main.startUp) {
        return "StartUpCommand";
    }
    if (window == main.close) {
        return "close";
    }
    if (window == main.window) {
        return "the main window";
    }
    char handle[32];
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(window));
    return std::string(handle) + " class \"" + Utf8(ClassNameOf(window)) + "\"";
}

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
