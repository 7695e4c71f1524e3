#include "support/MessageBoxReader.h"

#include <algorithm>
#include <cstdio>

#include "support/Capture.h"
#include "platform/UniqueResource.h"
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

// The icon as this process draws it at that size over a plain colour.
bool Render(HICON icon, COLORREF background, int width, int height, Pixels* out) {
    bool drawn = false;
    const bool rendered = RenderLocally(width, height, out, [&](HDC dc) {
        tavro::UniqueBrush brush(CreateSolidBrush(background));
        RECT all = {0, 0, width, height};
        FillRect(dc, &all, brush.get());
        drawn = DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL) != FALSE;
    });
    return rendered && drawn;
}

// What the screen shows inside the control's client area.
bool CaptureControl(HWND control, Pixels* out, std::string* error) {
    RECT client = {};
    GetClientRect(control, &client);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return CaptureScreen(client, out, error);
}

struct Comparison {
    int opaque = 0;      // pixels the icon covers whatever lies behind it
    int mismatched = 0;  // of those, pixels the screen shows differently
};

Comparison Compare(HICON candidate, const Pixels& shown) {
    Comparison result;
    Pixels onBlack;
    Pixels onWhite;
    if (!Render(candidate, RGB(0, 0, 0), shown.width, shown.height, &onBlack) ||
        !Render(candidate, RGB(255, 255, 255), shown.width, shown.height, &onWhite)) {
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
            Pixels shown;
            std::string error;
            if (!CaptureControl(iconStatic, &shown, &error)) {
                *detail = "could not capture the screen: " + error;
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
