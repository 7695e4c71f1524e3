#include "support/MessageBoxReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "support/Handles.h"
#include "support/Text.h"
#include "support/TopWindows.h"
#include "support/Wait.h"

namespace e2e {
namespace {

constexpr int kTextItem = 0xFFFF;

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

bool IsIconStatic(HWND window) {
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    return ClassNameOf(window) == L"Static" && (style & SS_TYPEMASK) == SS_ICON;
}

std::wstring WithoutAccelerator(std::wstring text) {
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    return text;
}

// A 32-bit top-down DIB section we can read pixel by pixel.
struct Canvas {
    UniqueMemoryDc dc;
    UniqueGdiObject bitmap;
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;

    Canvas(int w, int h) : dc(CreateCompatibleDC(nullptr)), width(w), height(h) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        pixels = static_cast<std::uint32_t*>(bits);
    }
    bool Valid() const { return dc && bitmap && pixels != nullptr; }
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] &
               0xFFFFFFu;
    }
};

// The icon as this process draws it at that size over a plain colour.
bool Render(HICON icon, COLORREF background, Canvas& canvas) {
    SelectedObject selected(canvas.dc.Get(), canvas.bitmap.Get());
    UniqueGdiObject brush(CreateSolidBrush(background));
    RECT all = {0, 0, canvas.width, canvas.height};
    FillRect(canvas.dc.Get(), &all, static_cast<HBRUSH>(brush.Get()));
    const BOOL drawn = DrawIconEx(canvas.dc.Get(), 0, 0, icon, canvas.width, canvas.height, 0, nullptr, DI_NORMAL);
    GdiFlush();
    return drawn != FALSE;
}

// What the screen shows inside the control's client area.
bool Capture(HWND control, Canvas& canvas) {
    POINT origin = {0, 0};
    ClientToScreen(control, &origin);
    WindowDc screen(nullptr);
    if (!screen) {
        return false;
    }
    SelectedObject selected(canvas.dc.Get(), canvas.bitmap.Get());
    const BOOL copied =
        BitBlt(canvas.dc.Get(), 0, 0, canvas.width, canvas.height, screen.Get(), origin.x, origin.y, SRCCOPY);
    GdiFlush();
    return copied != FALSE;
}

struct Comparison {
    int opaque = 0;      // pixels the icon covers whatever lies behind it
    int mismatched = 0;  // of those, pixels the screen shows differently
};

Comparison Compare(HICON candidate, const Canvas& shown) {
    Comparison result;
    Canvas onBlack(shown.width, shown.height);
    Canvas onWhite(shown.width, shown.height);
    if (!onBlack.Valid() || !onWhite.Valid() || !Render(candidate, RGB(0, 0, 0), onBlack) ||
        !Render(candidate, RGB(255, 255, 255), onWhite)) {
        return result;
    }
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            if (onBlack.At(x, y) != onWhite.At(x, y)) {
                continue;  // transparent or blended edge: depends on the box's background
            }
            ++result.opaque;
            if (onBlack.At(x, y) != shown.At(x, y)) {
                ++result.mismatched;
            }
        }
    }
    return result;
}

struct Candidate {
    StockIcon icon;
    WORD resource;  // IDI_* as a number: MAKEINTRESOURCE cannot appear in a constant expression
};

constexpr Candidate kCandidates[] = {
    {StockIcon::Exclamation, 32515},  // IDI_EXCLAMATION
    {StockIcon::Hand, 32513},         // IDI_HAND
    {StockIcon::Asterisk, 32516},     // IDI_ASTERISK
    {StockIcon::Question, 32514},     // IDI_QUESTION
};

// Another process's HICON cannot be drawn or compared here (Wine keeps icon data per process),
// so the icon is named by matching the pixels on screen against each stock icon drawn locally.
StockIcon IdentifyIcon(HWND iconStatic, std::chrono::milliseconds timeout, std::string* detail) {
    RECT client = {};
    GetClientRect(iconStatic, &client);
    if (client.right <= 0 || client.bottom <= 0) {
        *detail = "icon control has an empty client area";
        return StockIcon::Unrecognised;
    }
    StockIcon found = StockIcon::Unrecognised;
    PollUntil(
        [&] {
            Canvas shown(client.right, client.bottom);
            if (!shown.Valid() || !Capture(iconStatic, shown)) {
                *detail = "could not capture the screen: " + DescribeError(GetLastError());
                return false;
            }
            detail->clear();
            for (const Candidate& candidate : kCandidates) {
                const Comparison c = Compare(LoadIconW(nullptr, MAKEINTRESOURCEW(candidate.resource)), shown);
                char line[160];
                std::snprintf(line, sizeof line, "%s%s: %d of %d opaque pixels differ", detail->empty() ? "" : "; ",
                              ToString(candidate.icon), c.mismatched, c.opaque);
                *detail += line;
                // A perfect match on a sizeable part of the area: an empty or half-drawn box never passes.
                if (c.opaque * 4 >= shown.width * shown.height && c.mismatched == 0) {
                    found = candidate.icon;
                }
            }
            return found != StockIcon::Unrecognised;
        },
        timeout, std::chrono::milliseconds(20));
    return found;
}

}  // namespace

const char* ToString(StockIcon icon) {
    switch (icon) {
        case StockIcon::None:
            return "no icon";
        case StockIcon::Unrecognised:
            return "an unrecognised icon";
        case StockIcon::Exclamation:
            return "exclamation";
        case StockIcon::Hand:
            return "hand (error)";
        case StockIcon::Asterisk:
            return "asterisk (information)";
        case StockIcon::Question:
            return "question";
    }
    return "?";
}

bool IsMessageBox(HWND window) {
    return ClassNameOf(window) == L"#32770";
}

HWND WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout) {
    return WaitForVisibleWindow(processId, timeout, IsMessageBox);
}

MessageBoxContents ReadMessageBox(HWND box, std::chrono::milliseconds iconTimeout) {
    MessageBoxContents contents;
    contents.title = TitleOf(box);
    if (HWND text = GetDlgItem(box, kTextItem)) {
        contents.text = TextOf(text);
    }
    HWND iconStatic = nullptr;
    for (HWND child : ChildrenOf(box)) {
        if (ClassNameOf(child) == L"Button" && IsWindowVisible(child)) {
            contents.buttons.push_back(WithoutAccelerator(TextOf(child)));
            contents.buttonHandles.push_back(child);
        } else if (iconStatic == nullptr && IsIconStatic(child)) {
            iconStatic = child;
        }
    }
    DWORD_PTR icon = 0;
    if (iconStatic != nullptr && SendMessageTimeoutW(iconStatic, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon) &&
        icon != 0 && IsWindowVisible(iconStatic)) {
        contents.hasIcon = true;
        contents.icon = IdentifyIcon(iconStatic, iconTimeout, &contents.iconDetail);
    } else {
        contents.iconDetail =
            iconStatic == nullptr ? "no SS_ICON static in the box" : "the SS_ICON static holds no icon";
    }
    return contents;
}

bool PressButton(const MessageBoxContents& box, const std::wstring& caption, std::string* error) {
    for (std::size_t i = 0; i < box.buttons.size(); ++i) {
        if (box.buttons[i] == caption) {
            // Posted, not sent: the click ends the box's modal loop, and we must not block on it.
            if (!PostMessageW(box.buttonHandles[i], BM_CLICK, 0, 0)) {
                *error = "BM_CLICK could not be posted: " + DescribeError(GetLastError());
                return false;
            }
            return true;
        }
    }
    *error = "no button \"" + Utf8(caption) + "\" in the box";
    return false;
}

}  // namespace e2e
