// The same required work as Tavro's windowed start, done as plainly as possible: the desktop
// folder query (the windowed start makes it too, to know it is not the start from the desktop),
// then one window of Tavro's client size and frame with the program icon as its class icons and
// the sizing items taken out of its window menu, three owner-drawn classic buttons at Tavro's
// places with the focus on the first, all eight pictures loaded from the resources, and the
// 517 x 271 background blitted on paint. Linked with Tavro's own resources, manifest included.
#include <windows.h>
#include <shlobj.h>

#include <initializer_list>

#include "resources/resource.h"

namespace {

constexpr int kClientWidth = 518;
constexpr int kClientHeight = 271;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

struct Button {
    RECT place;
    int face;
    int pressedFace;
    bool whiteIsTransparent;
    HBITMAP normal;
    HBITMAP pressed;
    HWND window;
};

Button buttons[] = {
    {{5, 54, 256, 137}, IDB_COPY_FACE, IDB_COPY_FACE_PRESSED, false, nullptr, nullptr, nullptr},
    {{256, 54, 511, 137}, IDB_ORDER_FACE, IDB_ORDER_FACE_PRESSED, true, nullptr, nullptr, nullptr},
    {{383, 202, 512, 247}, IDB_CLOSE_FACE, IDB_CLOSE_FACE_PRESSED, false, nullptr, nullptr, nullptr},
};
HBITMAP background = nullptr;
HBITMAP logo = nullptr;  // the order button's disabled face, never shown

HBITMAP LoadPicture(HINSTANCE instance, int id) {
    return static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void Blit(HDC target, int x, int y, HBITMAP picture, bool whiteIsTransparent) {
    BITMAP info{};
    GetObjectW(picture, sizeof(info), &info);
    const HDC source = CreateCompatibleDC(target);
    const HGDIOBJ old = SelectObject(source, picture);
    if (whiteIsTransparent) {
        GdiTransparentBlt(target, x, y, info.bmWidth, info.bmHeight, source, 0, 0, info.bmWidth, info.bmHeight,
                          RGB(255, 255, 255));
    } else {
        BitBlt(target, x, y, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

void DrawButton(const DRAWITEMSTRUCT& item) {
    for (const Button& button : buttons) {
        if (button.window != item.hwndItem) {
            continue;
        }
        const bool pushed = (item.itemState & ODS_SELECTED) != 0;
        RECT inside = item.rcItem;
        DrawFrameControl(item.hDC, &inside, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0U));
        FillRect(item.hDC, &inside, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        const HBITMAP face = pushed ? button.pressed : button.normal;
        BITMAP info{};
        GetObjectW(face, sizeof(info), &info);
        const int shift = pushed ? 1 : 0;
        Blit(item.hDC, (item.rcItem.right - info.bmWidth) / 2 + shift, (item.rcItem.bottom - info.bmHeight) / 2 + shift,
             face, button.whiteIsTransparent);
        if ((item.itemState & ODS_FOCUS) != 0) {
            RECT focus = item.rcItem;
            InflateRect(&focus, -3, -3);
            DrawFocusRect(item.hDC, &focus);
        }
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = BeginPaint(window, &paint);
            Blit(dc, 0, 0, background, false);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

HICON ProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPWSTR /*commandLine*/, int show) {
    wchar_t desktop[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, desktop);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hIcon = ProgramIcon(instance, SM_CXICON, SM_CYICON);
    wc.hIconSm = ProgramIcon(instance, SM_CXSMICON, SM_CYSMICON);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"BenchSameWorkWindow";
    if (RegisterClassExW(&wc) == 0) {
        return 1;
    }
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const HWND window =
        CreateWindowExW(0, wc.lpszClassName, L"SameWorkWindow", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    background = LoadPicture(instance, IDB_BACKGROUND);
    logo = LoadPicture(instance, IDB_LOGO);
    const HMENU menu = GetSystemMenu(window, FALSE);
    for (const UINT command : {UINT{SC_SIZE}, UINT{SC_MINIMIZE}, UINT{SC_MAXIMIZE}, UINT{SC_RESTORE}}) {
        DeleteMenu(menu, command, MF_BYCOMMAND);
    }
    for (Button& button : buttons) {
        button.normal = LoadPicture(instance, button.face);
        button.pressed = LoadPicture(instance, button.pressedFace);
        button.window = CreateWindowExW(0, L"Button", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                                        button.place.left, button.place.top, button.place.right - button.place.left,
                                        button.place.bottom - button.place.top, window, nullptr, instance, nullptr);
    }
    if (background == nullptr || logo == nullptr || buttons[0].window == nullptr) {
        return 1;
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    SetFocus(buttons[0].window);

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
