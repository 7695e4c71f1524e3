#include <windows.h>

#include "launcher/Handlers.h"
#include "platform/DllSearch.h"
#include "platform/HeapSafety.h"
#include "platform/Win32Platform.h"
#include "window/TavroForm.h"

namespace {

int RunMessageLoop(tavro::TavroForm& form) {
    MSG msg{};
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (got == -1) {
            return 1;
        }
        if (!form.PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

int Run(HINSTANCE instance, int showCommand) {
    tavro::Win32Platform platform;
    // The start from the desktop only hands a URL to the shell (or warns), and ends: it makes no
    // window at all. A hidden owner would help no dialog the shell might show.
    tavro::Form_Load(platform);
    if (platform.HasEnded()) {
        return 0;
    }
    tavro::TavroForm form(platform);
    if (!form.Create(instance)) {
        return 1;
    }
    platform.AttachWindow(form.Handle(), [&form] { form.Destroy(); });
    form.Show(showCommand);
    return RunMessageLoop(form);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPWSTR /*lpCmdLine*/, int nShowCmd) {
    tavro::EndOnHeapCorruption();
    tavro::RestrictDllSearchToSystemFolder();
    return Run(hInstance, nShowCmd);
}
