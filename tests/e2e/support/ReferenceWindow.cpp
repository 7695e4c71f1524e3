#include "support/ReferenceWindow.h"

namespace e2e {

ReferenceWindow::ReferenceWindow(bool withoutSizing) : withoutSizing_(withoutSizing) {
    ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_.reset(CreateThread(nullptr, 0, &ReferenceWindow::Run, this, 0, nullptr));
    if (thread_) {
        HANDLE waits[] = {ready_.get(), thread_.get()};
        WaitForMultipleObjects(2, waits, FALSE, 5000);
    }
}

ReferenceWindow::~ReferenceWindow() {
    if (window_ != nullptr) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    if (thread_) {
        WaitForSingleObject(thread_.get(), 5000);
    }
}

LRESULT CALLBACK ReferenceWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD WINAPI ReferenceWindow::Run(void* param) {
    auto* self = static_cast<ReferenceWindow*>(param);
    WNDCLASSEXW cls = {};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = Procedure;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    cls.lpszClassName = L"TavroE2EReferenceFrame";
    RegisterClassExW(&cls);
    const HWND window = CreateWindowExW(0, cls.lpszClassName, L"Reference", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 40,
                                        40, 300, 200, nullptr, nullptr, cls.hInstance, nullptr);
    if (window != nullptr && self->withoutSizing_) {
        const HMENU menu = GetSystemMenu(window, FALSE);
        for (const UINT command : {UINT{SC_RESTORE}, UINT{SC_SIZE}, UINT{SC_MINIMIZE}, UINT{SC_MAXIMIZE}}) {
            DeleteMenu(menu, command, MF_BYCOMMAND);
        }
    }
    self->window_ = window;
    SetEvent(self->ready_.get());
    MSG message;
    while (window != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace e2e
