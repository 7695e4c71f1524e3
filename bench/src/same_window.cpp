// The same required work as Tavro's windowed start, done as plainly as possible: the desktop
// folder query (the windowed start makes it too, to know it is not the start from the desktop),
// the screen resolution, then one window of Tavro's client size and frame with the program icon as
// its class icons and the sizing items taken out of its window menu, three owner-drawn classic
// buttons at Tavro's places with the focus on the first, all eight pictures loaded from the
// resources, and the 517 x 271 background blitted on paint. Linked with Tavro's own resources,
// manifest included.
//
// The layout is Tavro's, in twips (15 to a pixel at 96 dpi), rounded half up. At any other
// resolution the window and its buttons grow with it, and the background and the faces shown are
// scaled once, at start, with a plain bilinear filter into 32-bit DIB sections that the paint
// blits as they are. A pressed face is scaled when it is first drawn. At 96 dpi nothing is scaled.
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "resources/resource.h"

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kPictureDpi = 96;
constexpr int kClientWidthTwips = 7770;
constexpr int kClientHeightTwips = 4065;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

int dpi = kPictureDpi;

int TwipsToPixels(int twips) {
    return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

int ScalePixels(int pixels) {
    return (pixels * dpi + kPictureDpi / 2) / kPictureDpi;
}

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

struct Button {
    TwipRect place;
    int face;
    int pressedFace;
    bool whiteIsTransparent;
    HBITMAP normal;
    HBITMAP pressed;
    HBITMAP scaledNormal;
    HBITMAP scaledPressed;
    HWND window;
};

Button buttons[] = {
    {{75, 810, 3765, 1245}, IDB_COPY_FACE, IDB_COPY_FACE_PRESSED, false, nullptr, nullptr, nullptr, nullptr, nullptr},
    {{3840, 810, 3825, 1245},
     IDB_ORDER_FACE,
     IDB_ORDER_FACE_PRESSED,
     true,
     nullptr,
     nullptr,
     nullptr,
     nullptr,
     nullptr},
    {{5745, 3030, 1935, 675},
     IDB_CLOSE_FACE,
     IDB_CLOSE_FACE_PRESSED,
     false,
     nullptr,
     nullptr,
     nullptr,
     nullptr,
     nullptr},
};
HBITMAP background = nullptr;
HBITMAP scaledBackground = nullptr;
HBITMAP logo = nullptr;  // the order button's disabled face, never shown

HBITMAP LoadPicture(HINSTANCE instance, int id) {
    return static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HBITMAP NewPicture(int width, int height, std::uint32_t** bits) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    const HBITMAP picture = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = static_cast<std::uint32_t*>(memory);
    return picture;
}

// Where each target pixel's centre falls between two source pixels, and the weight of the second
// (0 to 256), worked out once per column or row so the pixel loops have no division.
struct Tap {
    int first;
    int second;
    std::uint32_t weight;
};

std::vector<Tap> Taps(int from, int to) {
    std::vector<Tap> taps(static_cast<std::size_t>(to));
    const long long twiceTo = 2LL * to;
    for (int i = 0; i < to; ++i) {
        // The centre of target pixel i in source pixels is (2i + 1) * from / (2 * to) - 1/2.
        const long long at = (2LL * i + 1) * from - to;
        Tap& tap = taps[static_cast<std::size_t>(i)];
        if (at <= 0) {
            tap = {0, 0, 0};
            continue;
        }
        tap.first = static_cast<int>(at / twiceTo);
        tap.second = tap.first + 1 < from ? tap.first + 1 : from - 1;
        tap.weight = static_cast<std::uint32_t>(((at % twiceTo) * 256 + twiceTo / 2) / twiceTo);
    }
    return taps;
}

// Two channels per multiply: red and blue side by side, then alpha and green; each product stays
// within its 16 bits (255 * 256 + 128 < 65536).
std::uint32_t Blend(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    const std::uint32_t keep = 256 - weight;
    const std::uint32_t redBlue =
        ((((a & 0x00FF00FFU) * keep + (b & 0x00FF00FFU) * weight + 0x00800080U) >> 8) & 0x00FF00FFU);
    const std::uint32_t alphaGreen =
        ((((a >> 8) & 0x00FF00FFU) * keep + ((b >> 8) & 0x00FF00FFU) * weight + 0x00800080U) & 0xFF00FF00U);
    return redBlue | alphaGreen;
}

// The picture at dpi: its pixels copied into a 32-bit DIB section, the transparent white replaced
// by the button's back colour (it would blend into a fringe otherwise), then scaled across each
// row and down each column into a second DIB section.
HBITMAP Scale(HBITMAP picture, bool whiteIsTransparent) {
    BITMAP info{};
    if (GetObjectW(picture, sizeof(info), &info) == 0) {
        return nullptr;
    }
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    const int scaledWidth = ScalePixels(width);
    const int scaledHeight = ScalePixels(height);

    std::uint32_t* source = nullptr;
    const HBITMAP copy = NewPicture(width, height, &source);
    if (copy == nullptr) {
        return nullptr;
    }
    const HDC from = CreateCompatibleDC(nullptr);
    const HDC to = CreateCompatibleDC(nullptr);
    const HGDIOBJ oldFrom = SelectObject(from, picture);
    const HGDIOBJ oldTo = SelectObject(to, copy);
    BitBlt(to, 0, 0, width, height, from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    GdiFlush();

    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (whiteIsTransparent) {
        const COLORREF back = GetSysColor(COLOR_BTNHIGHLIGHT);
        const std::uint32_t backPixel = (std::uint32_t{GetRValue(back)} << 16) | (std::uint32_t{GetGValue(back)} << 8) |
                                        std::uint32_t{GetBValue(back)};
        for (std::size_t i = 0; i < count; ++i) {
            if ((source[i] & 0x00FFFFFFU) == 0x00FFFFFFU) {
                source[i] = backPixel;
            }
        }
    }

    const std::vector<Tap> columns = Taps(width, scaledWidth);
    const std::vector<Tap> rows = Taps(height, scaledHeight);
    std::vector<std::uint32_t> across(static_cast<std::size_t>(scaledWidth) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* in = source + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        std::uint32_t* out = across.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(scaledWidth);
        for (int x = 0; x < scaledWidth; ++x) {
            const Tap& tap = columns[static_cast<std::size_t>(x)];
            out[x] = Blend(in[tap.first], in[tap.second], tap.weight);
        }
    }
    DeleteObject(copy);

    std::uint32_t* target = nullptr;
    const HBITMAP scaled = NewPicture(scaledWidth, scaledHeight, &target);
    if (scaled == nullptr) {
        return nullptr;
    }
    for (int y = 0; y < scaledHeight; ++y) {
        const Tap& tap = rows[static_cast<std::size_t>(y)];
        const std::uint32_t* upper =
            across.data() + static_cast<std::size_t>(tap.first) * static_cast<std::size_t>(scaledWidth);
        const std::uint32_t* lower =
            across.data() + static_cast<std::size_t>(tap.second) * static_cast<std::size_t>(scaledWidth);
        std::uint32_t* out = target + static_cast<std::size_t>(y) * static_cast<std::size_t>(scaledWidth);
        for (int x = 0; x < scaledWidth; ++x) {
            out[x] = Blend(upper[x], lower[x], tap.weight);
        }
    }
    return scaled;
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
    for (Button& button : buttons) {
        if (button.window != item.hwndItem) {
            continue;
        }
        const bool pushed = (item.itemState & ODS_SELECTED) != 0;
        RECT inside = item.rcItem;
        DrawFrameControl(item.hDC, &inside, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0U));
        FillRect(item.hDC, &inside, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        HBITMAP face = pushed ? button.pressed : button.normal;
        bool whiteIsTransparent = button.whiteIsTransparent;
        if (dpi != kPictureDpi) {
            if (pushed && button.scaledPressed == nullptr) {
                button.scaledPressed = Scale(button.pressed, button.whiteIsTransparent);
            }
            face = pushed ? button.scaledPressed : button.scaledNormal;
            whiteIsTransparent = false;  // already on the back colour
        }
        BITMAP info{};
        GetObjectW(face, sizeof(info), &info);
        const int shift = pushed ? 1 : 0;
        Blit(item.hDC, (item.rcItem.right - info.bmWidth) / 2 + shift, (item.rcItem.bottom - info.bmHeight) / 2 + shift,
             face, whiteIsTransparent);
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
            Blit(dc, 0, 0, dpi != kPictureDpi ? scaledBackground : background, false);
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
    const HDC screen = GetDC(nullptr);
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const HWND window =
        CreateWindowExW(0, wc.lpszClassName, L"SameWorkWindow", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    background = LoadPicture(instance, IDB_BACKGROUND);
    logo = LoadPicture(instance, IDB_LOGO);
    if (background == nullptr || logo == nullptr) {
        return 1;
    }
    if (dpi != kPictureDpi) {
        scaledBackground = Scale(background, false);
        if (scaledBackground == nullptr) {
            return 1;
        }
    }
    const HMENU menu = GetSystemMenu(window, FALSE);
    for (const UINT command : {UINT{SC_SIZE}, UINT{SC_MINIMIZE}, UINT{SC_MAXIMIZE}, UINT{SC_RESTORE}}) {
        DeleteMenu(menu, command, MF_BYCOMMAND);
    }
    for (Button& button : buttons) {
        button.normal = LoadPicture(instance, button.face);
        button.pressed = LoadPicture(instance, button.pressedFace);
        if (button.normal == nullptr || button.pressed == nullptr) {
            return 1;
        }
        if (dpi != kPictureDpi) {
            button.scaledNormal = Scale(button.normal, button.whiteIsTransparent);
            if (button.scaledNormal == nullptr) {
                return 1;
            }
        }
        button.window = CreateWindowExW(0, L"Button", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                                        TwipsToPixels(button.place.left), TwipsToPixels(button.place.top),
                                        TwipsToPixels(button.place.width), TwipsToPixels(button.place.height), window,
                                        nullptr, instance, nullptr);
    }
    if (buttons[0].window == nullptr) {
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
