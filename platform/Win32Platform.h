#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <utility>

#include "platform/ActivationContext.h"
#include "platform/ComApartment.h"
#include "platform/ModulePath.h"
#include "platform/Platform.h"
#include "platform/ProgramTitle.h"

namespace tavro {

class Win32Platform final : public Platform {
  public:
    Win32Platform();

    // The main window: owner of message boxes and of whatever the shell shows. Borrowed. The start
    // from the desktop makes no window: its message box and the shell then have no owner.
    // closeWindow is how the window's owner takes it down when the program ends; the platform
    // never destroys a window it does not own.
    void AttachWindow(HWND window, std::function<void()> closeWindow) {
        window_ = window;
        closeWindow_ = std::move(closeWindow);
    }

    std::wstring ProgramFolder() const override { return module_.folder; }
    std::wstring ProgramName() const override { return module_.name; }
    std::wstring ProgramPath() const override { return modulePath_; }
    std::wstring ProgramTitle() const override { return kProgramTitle; }

    long QueryDesktopFolder(PathBuffer& buffer) override;
    void OpenUrl(const std::wstring& url) override;
    bool CopyFileReplacing(const std::wstring& source, const std::wstring& destination) override;
    void ShowMessage(const std::wstring& prompt,
                     MessageStyle style,
                     const std::optional<std::wstring>& title = std::nullopt) override;
    void EndProgram() override;
    bool HasEnded() const override { return ended_; }

  private:
    std::wstring modulePath_;
    ModulePathParts module_;
    // Entered before the first URL goes to the shell, on the window thread, and kept to the end.
    std::optional<ComApartment> com_;
    // The common controls version 6 for message boxes, made at the first one.
    UniqueActivationContext messageBoxContext_;
    HWND window_ = nullptr;
    std::function<void()> closeWindow_;
    bool ended_ = false;
};

}  // namespace tavro
