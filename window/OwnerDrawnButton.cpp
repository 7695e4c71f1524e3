#include "window/OwnerDrawnButton.h"

#include <windowsx.h>

#include "window/Gdi.h"

namespace tavro {

namespace {

// Window extra bytes: the button state, then the caption font.
constexpr int kStateOffset = 0;
constexpr int kFontOffset = static_cast<int>(sizeof(LONG_PTR));
constexpr int kExtraBytes = 2 * static_cast<int>(sizeof(LONG_PTR));

// Held down by the mouse or by Space: a release over the button clicks it. Kept clear of the
// BST_* bits that BM_GETSTATE reports.
constexpr LONG_PTR kHeld = 0x10000;
constexpr LONG_PTR kReportedState = BST_PUSHED | BST_FOCUS;

LONG_PTR StateOf(HWND button) {
    return GetWindowLongPtrW(button, kStateOffset);
}

void SetStateOf(HWND button, LONG_PTR state) {
    SetWindowLongPtrW(button, kStateOffset, state);
}

// Painted at once, as the system's button does, so the pushed look shows even if the click then
// keeps the thread busy.
void ChangeState(HWND button, LONG_PTR set, LONG_PTR clear) {
    const LONG_PTR before = StateOf(button);
    const LONG_PTR after = (before | set) & ~clear;
    SetStateOf(button, after);
    if ((before & kReportedState) != (after & kReportedState)) {
        InvalidateRect(button, nullptr, FALSE);
        UpdateWindow(button);
    }
}

void Draw(HWND button, HDC dc) {
    const LONG_PTR state = StateOf(button);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(button));
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = ((state & BST_PUSHED) != 0 ? ODS_SELECTED : 0U) | ((state & BST_FOCUS) != 0 ? ODS_FOCUS : 0U) |
                     (IsWindowEnabled(button) ? 0U : ODS_DISABLED);
    item.hwndItem = button;
    item.hDC = dc;
    GetClientRect(button, &item.rcItem);
    auto* const font = reinterpret_cast<HFONT>(GetWindowLongPtrW(button, kFontOffset));
    const SelectedObject selected(dc, font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    SendMessageW(GetParent(button), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

bool IsOver(HWND button, LPARAM clientPoint) {
    RECT client{};
    GetClientRect(button, &client);
    const POINT point{GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
    return PtInRect(&client, point) != FALSE;
}

void Press(HWND button) {
    if (GetCapture() != button) {
        SetCapture(button);
    }
    ChangeState(button, kHeld | BST_PUSHED, 0);
}

// The end of a press. The state is settled before the capture goes, so WM_CAPTURECHANGED finds
// nothing left to cancel, and before the parent hears of the click, which may destroy the button.
void Release(HWND button, bool over) {
    const LONG_PTR state = StateOf(button);
    if ((state & kHeld) == 0) {
        return;
    }
    ChangeState(button, 0, kHeld | BST_PUSHED);
    if (GetCapture() == button) {
        ReleaseCapture();
    }
    if ((state & BST_PUSHED) != 0 && over) {
        SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    }
}

LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_BUTTON;
        case WM_LBUTTONDOWN:
            SetFocus(button);
            Press(button);
            return 0;
        case WM_MOUSEMOVE:
            if ((StateOf(button) & kHeld) != 0 && GetCapture() == button) {
                const bool over = IsOver(button, lParam);
                ChangeState(button, over ? BST_PUSHED : 0, over ? 0 : BST_PUSHED);
            }
            return 0;
        case WM_LBUTTONUP:
            Release(button, IsOver(button, lParam));
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_SPACE) {
                Press(button);
                return 0;
            }
            break;
        case WM_KEYUP:
            if (wParam == VK_SPACE) {
                Release(button, true);
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            // Taken away mid-press (a message box, Alt+Tab): the press ends without a click.
            if (reinterpret_cast<HWND>(lParam) != button) {
                ChangeState(button, 0, kHeld | BST_PUSHED);
            }
            return 0;
        case WM_SETFOCUS:
            ChangeState(button, BST_FOCUS, 0);
            return 0;
        case WM_KILLFOCUS:
            if ((StateOf(button) & kHeld) != 0 && GetCapture() == button) {
                ReleaseCapture();
            }
            ChangeState(button, 0, BST_FOCUS | kHeld | BST_PUSHED);
            return 0;
        case WM_ENABLE:
            InvalidateRect(button, nullptr, FALSE);
            return 0;
        case BM_GETSTATE:
            return StateOf(button) & kReportedState;
        case BM_SETSTATE:
            ChangeState(button, wParam != 0 ? BST_PUSHED : 0, wParam != 0 ? 0 : BST_PUSHED);
            return 0;
        case BM_CLICK:
            SendMessageW(button, WM_LBUTTONDOWN, 0, 0);
            SendMessageW(button, WM_LBUTTONUP, 0, 0);
            return 0;
        case WM_SETFONT:
            SetWindowLongPtrW(button, kFontOffset, static_cast<LONG_PTR>(wParam));
            if (LOWORD(lParam) != 0) {
                InvalidateRect(button, nullptr, FALSE);
            }
            return 0;
        case WM_GETFONT:
            return GetWindowLongPtrW(button, kFontOffset);
        case WM_ERASEBKGND:
            return 1;  // the parent's drawing covers every pixel
        case WM_PAINT: {
            const PaintScope paint(button);
            Draw(button, paint.get());
            return 0;
        }
        case WM_PRINTCLIENT:
            Draw(button, reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(button, message, wParam, lParam);
}

}  // namespace

bool RegisterOwnerDrawnButtonClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, kOwnerDrawnButtonClass, &wc)) {
        return true;
    }
    // No CS_DBLCLKS: a quick second click presses the button again, as on an ordinary button.
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &ButtonProc;
    wc.cbWndExtra = kExtraBytes;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kOwnerDrawnButtonClass;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace tavro
