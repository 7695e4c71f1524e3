#include "window/TavroForm.h"

#include <algorithm>
#include <iterator>

#include "launcher/Handlers.h"
#include "platform/WorkBesideWindow.h"
#include "window/FormClass.h"
#include "window/WindowNames.h"
#include "window/WorkArea.h"

namespace tavro {

namespace {

// What the end of the session waits for a copy to give up: Windows offers to end a program that
// keeps it waiting after about five seconds.
constexpr DWORD kEndSessionBoundMs = 2000;

// Where in kButtons the button with control id is; kButtons.size() for none.
std::size_t ButtonWithId(int id) {
    return static_cast<std::size_t>(std::distance(
        kButtons.cbegin(), std::find_if(kButtons.cbegin(), kButtons.cend(),
                                        [id](const ButtonDefinition& button) { return button.id == id; })));
}

}  // namespace

TavroForm::~TavroForm() {
    Destroy();
}

void TavroForm::Destroy() {
    // WM_NCDESTROY clears window_.
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

bool TavroForm::Create(HINSTANCE instance) {
    if (!RegisterFormClass(instance, &TavroForm::WindowProc)) {
        return false;
    }
    dpi_ = WindowDpi::System();
    SIZE frame = FrameSize(dpi_);
    const POINT place = CentredOnWorkArea(frame);

    // WindowProc stores window_ as soon as the window exists (WM_NCCREATE).
    CreateWindowExW(kFormExStyle, kFormClass, kFormCaption, kFormStyle, place.x, place.y, frame.cx, frame.cy, nullptr,
                    nullptr, instance, this);
    if (window_ == nullptr) {
        return false;
    }
    perMonitor_ = dpiCalls_.PerMonitor(window_);
    // A per-monitor aware window opens at the DPI of the monitor it is on, and no WM_DPICHANGED
    // says so: that monitor's scale may differ from the primary one's at sign-in.
    const int windowDpi = dpiCalls_.Of(window_);
    if (windowDpi != dpi_) {
        dpi_ = windowDpi;
        frame = FrameSize(dpi_);
        const POINT again = CentredOnWorkArea(frame);
        SetWindowPos(window_, nullptr, again.x, again.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // WM_GETMINMAXINFO comes before the window is bound to this form, so a window larger than the
    // screen was clamped at creation: it gets its size now.
    FitClientArea();
    KeepOnWorkArea();
    return CreateContent(instance);
}

bool TavroForm::CreateContent(HINSTANCE instance) {
    if (!background_.Load(instance) || !faces_.Load(instance) || !CreateButtons(instance) || !UseDpi(dpi_)) {
        return false;
    }
    TrimWindowMenu(window_);
    return true;
}

// Made with no place yet: UseDpi places them and gives them their font.
bool TavroForm::CreateButtons(HINSTANCE instance) {
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const ButtonDefinition& definition = kButtons[i];
        buttons_[i] = CreateWindowExW(0, kButtonClass, definition.text,
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0, 0, 0, window_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(definition.id)), instance, nullptr);
        if (buttons_[i] == nullptr) {
            return false;
        }
        // A button that cannot carry its description still works and keeps its name.
        accessible_.DescribeButton(buttons_[i], definition.description);
    }
    return true;
}

void TavroForm::Show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(buttons_[0]);
}

bool TavroForm::PreTranslateMessage(MSG& msg) {
    return window_ != nullptr && IsDialogMessageW(window_, &msg);
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
            background_.Paint(window_, paint.get());
            return 0;
        }
        case WM_PRINTCLIENT:
            background_.Paint(window_, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the background covers every pixel
        case WM_DRAWITEM:
            return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case kGetDpiScaledSize:
            // Refused outside the scales of a monitor: Windows then scales the window itself.
            return IsDpiOfAMonitor(wParam) &&
                           OnGetDpiScaledSize(static_cast<int>(wParam), *reinterpret_cast<SIZE*>(lParam))
                       ? TRUE
                       : FALSE;
        case WM_GETOBJECT:
            // The banner's words describe the window itself.
            if (const std::optional<LRESULT> answer = accessible_.Answer(window_, kFormDescription, wParam, lParam)) {
                return *answer;
            }
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_DESTROY:
            // The window goes first, its buttons after it: from here on no object answers for them.
            accessible_.WindowsDestroyed();
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_SIZE:
            OnSize(wParam);
            return 0;
        case WM_GETMINMAXINFO:
            AllowFrameSize(*reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_DISPLAYCHANGE:
            KeepOnWorkArea();
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_CLOSE:
            // Close box, window menu, Alt+F4: never refused.
            Form_Unload(platform_);
            return 0;
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                // Windows may end the process the moment this returns: a copy under way is given
                // up, and its temporary removed, first.
                GiveUpWorkBesideWindow(kEndSessionBoundMs);
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
    const std::size_t clicked = ButtonWithId(id);
    if (clicked < kButtons.size()) {
        kButtons[clicked].click(platform_);
    }
}

void TavroForm::ClickFocusedButton() {
    const HWND focus = GetFocus();
    const bool ours = focus != nullptr &&
                      std::any_of(buttons_.begin(), buttons_.end(), [focus](HWND button) { return button == focus; });
    if (ours) {
        SendMessageW(focus, BM_CLICK, 0, 0);
    }
}

bool TavroForm::OnDrawItem(const DRAWITEMSTRUCT& item) {
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        if (item.hwndItem == buttons_[i]) {
            const bool hasDisabled = kButtons[i].disabledFace.has_value();
            DrawPictureButton(item, faces_.Face(i, FaceKindFor(item.itemState, hasDisabled)));
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
    SetFocus(focusWhenInactive_ != nullptr && IsWindow(focusWhenInactive_) ? focusWhenInactive_ : buttons_[0]);
}

}  // namespace tavro
