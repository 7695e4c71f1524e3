#include "window/TavroForm.h"

#include <algorithm>
#include <cstdint>

#include "launcher/Handlers.h"
#include "platform/WorkBesideWindow.h"
#include "window/PictureResource.h"
#include "window/PictureScale.h"
#include "window/ScaledPictures.h"
#include "window/WindowNames.h"
#include "window/WorkArea.h"

namespace tavro {

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = 0;
// What the end of the session waits for a copy to give up: Windows offers to end a program that
// keeps it waiting after about five seconds.
constexpr DWORD kEndSessionBoundMs = 2000;

// The resource of a button's face of kind, where the button has one.
std::optional<int> FaceResource(const ButtonDefinition& definition, FaceKind kind) {
    switch (kind) {
        case FaceKind::kNormal:
            return definition.normalFace;
        case FaceKind::kPressed:
            return definition.pressedFace;
        case FaceKind::kDisabled:
            return definition.disabledFace;
    }
    return std::nullopt;
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

// The buttons carry a caption font though they draw no caption: System, 13.5 pt, Shift JIS.
UniqueFont CreateButtonFont(int dpi) {
    return UniqueFont(CreateFontW(-MulDiv(135, dpi, 720), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                  L"System"));
}

// What lies under the buttons at their 96 dpi places, in the background picture.
std::array<PixelRect, kButtons.size()> UnderTheButtons() {
    std::array<PixelRect, kButtons.size()> under{};
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        under[i] = TwipsToPixels(kButtons[i].bounds, kPictureDpi);
    }
    return under;
}

SIZE ClientSize(int dpi) {
    return SIZE{TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)};
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
    const RECT place = CentredOnWorkArea(frame.cx, frame.cy);

    // WindowProc stores window_ as soon as the window exists (WM_NCCREATE).
    CreateWindowExW(kFormExStyle, kFormClass, kFormCaption, kFormStyle, place.left, place.top, frame.cx, frame.cy,
                    nullptr, nullptr, instance, this);
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
        const RECT again = CentredOnWorkArea(frame.cx, frame.cy);
        SetWindowPos(window_, nullptr, again.left, again.top, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // WM_GETMINMAXINFO comes before the window is bound to this form, so a window larger than the
    // screen was clamped at creation: it gets its size now.
    FitClientArea();
    KeepOnWorkArea();
    return CreateContent(instance);
}

bool TavroForm::CreateContent(HINSTANCE instance) {
    instance_ = instance;
    background_ = LoadPicture(instance, IDB_BACKGROUND);
    if (!background_ || !CreateButtons(instance) || !ScalePictures()) {
        return false;
    }
    TrimWindowMenu(window_);
    return true;
}

bool TavroForm::CreateButtons(HINSTANCE instance) {
    buttonFont_ = CreateButtonFont(dpi_);

    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const ButtonDefinition& definition = kButtons[i];
        Button& button = buttons_[i];
        // The face the first paint shows; the others are unpacked when first drawn.
        UniqueBitmap& normal = button.faces[static_cast<std::size_t>(FaceKind::kNormal)];
        normal = LoadPicture(instance, definition.normalFace);
        if (!normal) {
            return false;
        }
        const PixelRect place = TwipsToPixels(definition.bounds, dpi_);
        button.window =
            CreateWindowExW(0, kButtonClass, definition.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                            place.left, place.top, place.width, place.height, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(definition.id)), instance, nullptr);
        if (button.window == nullptr) {
            return false;
        }
        SendMessageW(button.window, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
        // A button that cannot carry its description still works and keeps its name.
        accessible_.DescribeButton(button.window, definition.description);
    }
    return true;
}

void TavroForm::UseDpi(int dpi) {
    dpi_ = dpi;
    UniqueFont font = CreateButtonFont(dpi_);
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const HWND button = buttons_[i].window;
        if (button == nullptr) {
            continue;
        }
        const PixelRect place = TwipsToPixels(kButtons[i].bounds, dpi_);
        SetWindowPos(button, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    }
    // The buttons have let go of the old font.
    buttonFont_ = std::move(font);
    ScalePictures();
}

// Once per resolution, never while painting: the background, and each button's normal face, the
// one the first paint shows. The others follow when first shown.
bool TavroForm::ScalePictures() {
    scaledBackground_.reset();
    for (Button& button : buttons_) {
        for (UniqueBitmap& face : button.scaled) {
            face.reset();
        }
    }
    bool complete = true;
    if (dpi_ != kPictureDpi) {
        const std::array<PixelRect, kButtons.size()> under = UnderTheButtons();
        scaledBackground_ =
            ScaleBackgroundPicture(background_.get(), dpi_, under.data(), static_cast<int>(under.size()));
        complete = static_cast<bool>(scaledBackground_);
    }
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        complete = FaceToDraw(i, FaceKind::kNormal) != nullptr && complete;
    }
    return complete;
}

SIZE TavroForm::FrameSize(int dpi) const {
    return dpiCalls_.FrameFor(ClientSize(dpi), kFormStyle, kFormExStyle, dpi);
}

void TavroForm::FitClientArea() {
    RECT client{};
    RECT frame{};
    if (!GetClientRect(window_, &client) || !GetWindowRect(window_, &frame)) {
        return;
    }
    const SIZE want = ClientSize(dpi_);
    const int dx = want.cx - client.right;
    const int dy = want.cy - client.bottom;
    if (dx != 0 || dy != 0) {
        SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Sent before WM_DPICHANGED to a per-monitor (version 2) aware window, so that its suggested
// rectangle has the size asked for here: Windows would otherwise scale the whole window linearly,
// and the caption and frame do not scale linearly, so the client area would drift off the twips.
bool TavroForm::OnGetDpiScaledSize(int dpi, SIZE& size) const {
    if (!perMonitor_ || dpi <= 0) {
        return false;
    }
    size = FrameSize(dpi);
    return true;
}

// Moved to a monitor of another resolution, or the resolution changed: Windows suggests the
// window's new place and size, and the rest follows from the twips. The client area is made exact
// afterwards where the suggested size misses it (per-monitor version 1 sends no WM_GETDPISCALEDSIZE).
void TavroForm::OnDpiChanged(int dpi, const RECT& suggested) {
    if (!perMonitor_ || !IsDpiOfAMonitor(static_cast<unsigned long long>(dpi))) {
        return;  // Windows scales this window itself, as a bitmap; or no monitor has that scale
    }
    const int before = dpi_;
    if (dpi != dpi_) {
        UseDpi(dpi);
    }
    if (IsIconic(window_)) {
        SizeRestoredWindowForDpi(before);
        return;
    }
    const RECT place = PlaceForDpi(suggested);
    SetWindowPos(window_, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
    KeepOnWorkArea();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
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
    const HBITMAP picture = scaledBackground_ ? scaledBackground_.get() : background_.get();
    BITMAP info{};
    if (picture == nullptr || GetObjectW(picture, sizeof(info), &info) == 0) {
        return;
    }
    RECT client{};
    GetClientRect(window_, &client);
    // The picture at the top left, scaled to the resolution; the back colour fills what it leaves.
    auto* const back = reinterpret_cast<HBRUSH>(GetClassLongPtrW(window_, GCLP_HBRBACKGROUND));
    ExcludeClipRect(dc, 0, 0, info.bmWidth, info.bmHeight);
    FillRect(dc, &client, back);
    SelectClipRgn(dc, nullptr);

    const UniqueMemoryDC source(CreateCompatibleDC(dc));
    if (!source) {
        return;
    }
    const SelectedObject selected(source.get(), picture);
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
    // A plain loop: find_if gives a pointer with GCC's std::array and an iterator class with MSVC's,
    // and no one spelling of its result suits both.
    for (const ButtonDefinition& definition : kButtons) {
        // cppcheck-suppress useStlAlgorithm
        if (definition.id == id) {
            definition.click(platform_);
            return;
        }
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

bool TavroForm::OnDrawItem(const DRAWITEMSTRUCT& item) {
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        if (item.hwndItem == buttons_[i].window) {
            const bool hasDisabled = kButtons[i].disabledFace.has_value();
            DrawPictureButton(item, FaceToDraw(i, FaceKindFor(item.itemState, hasDisabled)));
            return true;
        }
    }
    return false;
}

HBITMAP TavroForm::FaceToDraw(std::size_t button, FaceKind kind) {
    const auto k = static_cast<std::size_t>(kind);
    Button& b = buttons_[button];
    if (!b.faces[k]) {
        const std::optional<int> resource = FaceResource(kButtons[button], kind);
        if (resource) {
            b.faces[k] = LoadPicture(instance_, *resource);
        }
    }
    const std::optional<unsigned>& transparent = kButtons[button].transparentColour;
    if (dpi_ == kPictureDpi && !transparent) {
        return b.faces[k].get();  // drawn as it is
    }
    // Read at every paint, so a change of colour scheme shows at once: the see-through parts
    // take the new colour in new copies.
    const COLORREF back = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (back != scaledFacesBack_) {
        for (Button& each : buttons_) {
            for (UniqueBitmap& face : each.scaled) {
                face.reset();
            }
        }
        scaledFacesBack_ = back;
    }
    if (!b.scaled[k] && b.faces[k]) {
        b.scaled[k] = ScaleFacePicture(b.faces[k].get(), dpi_, transparent, back);
    }
    return b.scaled[k].get();
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
