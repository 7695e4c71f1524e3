#include "window/TavroForm.h"

#include <algorithm>

#include "launcher/Handlers.h"

namespace tavro {

namespace {

constexpr const wchar_t* kFormClass = L"TavroForm";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = 0;
// The system's push button. Which one CreateWindowExW gives depends on the activation context
// active at the call: with none holding the common controls version 6 (the process's own manifest
// leaves them out, and only message boxes get them) it is user32's classic button, and comctl32
// does not load before the first paint. Screen readers and UI automation know either by its class.
constexpr const wchar_t* kButtonClass = L"Button";

UniqueBitmap LoadBitmapResource(HINSTANCE instance, int id) {
    return UniqueBitmap(
        static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

// Shared icons belong to the system, which frees them with the process.
HICON LoadProgramIcon(HINSTANCE instance, int sizeMetricX, int sizeMetricY) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                         GetSystemMetrics(sizeMetricX), GetSystemMetrics(sizeMetricY), LR_SHARED));
}

bool RegisterFormClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, kFormClass, &existing)) {
        return true;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = LoadProgramIcon(instance, SM_CXICON, SM_CYICON);
    wc.hIconSm = LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // Shows only where the background picture does not reach: the right column, and the margins at high DPI.
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kFormClass;
    return RegisterClassExW(&wc) != 0;
}

// Like a dialog's: nothing to size, minimise or maximise.
void TrimWindowMenu(HWND window) {
    const HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) {
        return;
    }
    for (const UINT command : {UINT{SC_SIZE}, UINT{SC_MINIMIZE}, UINT{SC_MAXIMIZE}, UINT{SC_RESTORE}}) {
        DeleteMenu(menu, command, MF_BYCOMMAND);
    }
}

RECT CentredOnWorkArea(int width, int height) {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    return RECT{left < work.left ? work.left : left, top < work.top ? work.top : top, 0, 0};
}

}  // namespace

TavroForm::~TavroForm() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

bool TavroForm::Create(HINSTANCE instance) {
    if (!RegisterFormClass(instance, &TavroForm::WindowProc)) {
        return false;
    }
    {
        const ScreenDC screen;
        if (screen.get() != nullptr) {
            dpiX_ = GetDeviceCaps(screen.get(), LOGPIXELSX);
            dpiY_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
        }
    }

    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpiX_), TwipsToPixels(kClientHeightTwips, dpiY_)};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const RECT place = CentredOnWorkArea(width, height);

    // WindowProc stores window_ as soon as the window exists (WM_NCCREATE).
    CreateWindowExW(kFormExStyle, kFormClass, kFormCaption, kFormStyle, place.left, place.top, width, height, nullptr,
                    nullptr, instance, this);
    return window_ != nullptr && CreateContent(instance);
}

bool TavroForm::CreateContent(HINSTANCE instance) {
    background_ = LoadBitmapResource(instance, IDB_BACKGROUND);
    if (!background_) {
        return false;
    }
    TrimWindowMenu(window_);
    return CreateButtons(instance);
}

bool TavroForm::CreateButtons(HINSTANCE instance) {
    // The buttons carry a caption font though they draw no caption: System, 13.5 pt, Shift JIS.
    buttonFont_.reset(CreateFontW(-MulDiv(135, dpiY_, 720), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                  L"System"));

    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const ButtonDefinition& definition = kButtons[i];
        Button& button = buttons_[i];
        button.normal = LoadBitmapResource(instance, definition.normalFace);
        button.pressed = LoadBitmapResource(instance, definition.pressedFace);
        if (definition.disabledFace) {
            button.disabled = LoadBitmapResource(instance, *definition.disabledFace);
        }
        if (!button.normal || !button.pressed || (definition.disabledFace && !button.disabled)) {
            return false;
        }
        const TwipRect& b = definition.bounds;
        button.window =
            CreateWindowExW(0, kButtonClass, definition.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                            TwipsToPixels(b.left, dpiX_), TwipsToPixels(b.top, dpiY_), TwipsToPixels(b.width, dpiX_),
                            TwipsToPixels(b.height, dpiY_), window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(definition.id)), instance, nullptr);
        if (button.window == nullptr) {
            return false;
        }
        SendMessageW(button.window, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
    }
    return true;
}

void TavroForm::Show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(buttons_[0].window);
}

bool TavroForm::PreTranslateMessage(MSG& msg) {
    return window_ != nullptr && IsDialogMessageW(window_, &msg);
}

void TavroForm::PaintContent(HDC dc) const {
    BITMAP info{};
    if (!background_ || GetObjectW(background_.get(), sizeof(info), &info) == 0) {
        return;
    }
    RECT client{};
    GetClientRect(window_, &client);
    // The picture keeps its pixel size at every resolution; the back colour fills what it leaves.
    auto* const back = reinterpret_cast<HBRUSH>(GetClassLongPtrW(window_, GCLP_HBRBACKGROUND));
    ExcludeClipRect(dc, 0, 0, info.bmWidth, info.bmHeight);
    FillRect(dc, &client, back);
    SelectClipRgn(dc, nullptr);

    MemoryDC source(dc);
    if (!source) {
        return;
    }
    const SelectedObject selected(source.get(), background_.get());
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
}

LRESULT CALLBACK TavroForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* form = static_cast<TavroForm*>(create->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TavroForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT TavroForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            const PaintScope paint(window_);
            PaintContent(paint.get());
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintContent(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // PaintContent covers every pixel
        case WM_DRAWITEM:
            return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_CLOSE:
            // Close box, window menu, Alt+F4: never refused.
            Form_Unload(platform_);
            return 0;
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                Form_Unload(platform_);
            }
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void TavroForm::OnCommand(int id, int code) {
    if (id == IDOK) {
        // Enter, sent by the dialog keyboard interface: it presses the focused button.
        ClickFocusedButton();
        return;
    }
    if (code != BN_CLICKED) {
        return;
    }
    const auto* const clicked = std::find_if(kButtons.begin(), kButtons.end(),
                                             [id](const ButtonDefinition& definition) { return definition.id == id; });
    if (clicked != kButtons.end()) {
        clicked->click(platform_);
    }
}

void TavroForm::ClickFocusedButton() {
    const HWND focus = GetFocus();
    const bool ours = focus != nullptr && std::any_of(buttons_.begin(), buttons_.end(),
                                                      [focus](const Button& button) { return button.window == focus; });
    if (ours) {
        SendMessageW(focus, BM_CLICK, 0, 0);
    }
}

bool TavroForm::OnDrawItem(const DRAWITEMSTRUCT& item) const {
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        if (item.hwndItem == buttons_[i].window) {
            const ButtonFaces faces{buttons_[i].normal.get(), buttons_[i].pressed.get(), buttons_[i].disabled.get(),
                                    kButtons[i].transparentColour};
            DrawPictureButton(item, faces);
            return true;
        }
    }
    return false;
}

// Like a dialog, the window gives the focus back to the button that had it when it was left.
void TavroForm::OnActivate(bool active) {
    if (!active) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) {
            focusWhenInactive_ = focus;
        }
        return;
    }
    SetFocus(focusWhenInactive_ != nullptr && IsWindow(focusWhenInactive_) ? focusWhenInactive_ : buttons_[0].window);
}

}  // namespace tavro
