#include "platform/Win32Platform.h"

#include <shellapi.h>
#include <shlobj.h>

#include <utility>
#include <vector>

#include "platform/FileCopy.h"
#include "platform/WorkBesideWindow.h"
#include "resources/resource.h"

namespace tavro {

namespace {

std::wstring RunningModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    // Paths beyond MAX_PATH exist; the call truncates rather than fails, so grow until it fits.
    while (buffer.size() <= 32768) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

}  // namespace

Win32Platform::Win32Platform() : modulePath_(RunningModulePath()), module_(SplitModulePath(modulePath_)) {}

long Win32Platform::QueryDesktopFolder(PathBuffer& buffer) {
    // The current user's desktop at its current location, not the shared or the default one.
    const HRESULT result = SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, buffer.data());
    return static_cast<long>(result);
}

void Win32Platform::OpenUrl(const std::wstring& url) {
    // Only now: a window that never opens the site has no need of the apartment, whose set-up
    // would otherwise stand between the start and the first paint.
    if (!com_) {
        com_.emplace();
    }
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // The program ends right after this call: NOASYNC makes the shell finish handing the URL over first.
    info.fMask = SEE_MASK_NOASYNC;
    info.hwnd = window_;
    info.lpVerb = L"Open";
    info.lpFile = url.c_str();
    info.lpParameters = nullptr;
    info.lpDirectory = L"";
    info.nShow = SW_SHOWNORMAL;
    // Deliberately unchecked: when no browser opens, the shell has already told the user.
    ShellExecuteExW(&info);
}

bool Win32Platform::CopyFileReplacing(const std::wstring& source, const std::wstring& destination) {
    // The copy may wait seconds for a file someone else holds: the window must not freeze meanwhile.
    // The paths by value: a copy given up when the program ends may outlive this call.
    return RunBesideWindow(window_, [source, destination](const std::atomic<bool>& cancelled) {
        return CopyFileThroughTemporary(source, destination, cancelled);
    });
}

void Win32Platform::ShowMessage(const std::wstring& prompt,
                                MessageStyle style,
                                const std::optional<std::wstring>& title) {
    // Without a visible owner (the start from the desktop has no window) the box gets a taskbar
    // button of its own.
    const HWND owner = window_ != nullptr && IsWindowVisible(window_) ? window_ : nullptr;
    const std::wstring caption = title.value_or(ProgramTitle());
    // The box alone gets the visual-styles look: the window's buttons were made without it, so
    // that comctl32 waited until now. Without the context the box still shows, in the classic look.
    if (!messageBoxContext_) {
        messageBoxContext_ = ActivationContextFromResource(GetModuleHandleW(nullptr), IDR_MESSAGE_BOX_MANIFEST);
    }
    const ActivationScope themed(messageBoxContext_.get());
    MessageBoxW(owner, prompt.c_str(), caption.c_str(), MB_OK | static_cast<UINT>(style));
}

void Win32Platform::EndProgram() {
    if (ended_) {
        return;
    }
    ended_ = true;
    // The window goes at once, without WM_CLOSE, so the unload handler does not run again and no
    // click still queued for it reaches a handler; the quit message then ends the message loop.
    window_ = nullptr;
    if (closeWindow_) {
        std::exchange(closeWindow_, nullptr)();
    }
    PostQuitMessage(0);
}

}  // namespace tavro
