// Tavro's main window as it appears: frame, layout at 96, 120 and 144 dpi, and its pixels on screen.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ButtonPixels.h"
#include "support/Capture.h"
#include "platform/UniqueResource.h"
#include "support/Input.h"
#include "support/Layout.h"
#include "support/ScaledPixels.h"
#include "support/Tavro.h"
#include "support/UserSetting.h"
#include "support/Text.h"
#include "support/TopWindows.h"
#include "support/Wait.h"

namespace {

using e2e::Pixels;
using e2e::Rgb;
using e2e::Utf8;

constexpr std::chrono::milliseconds kPaintBound{3000};

struct Box {
    int x, y, width, height;
};

RECT ToRect(Box box) {
    return {box.x, box.y, box.x + box.width, box.y + box.height};
}

std::string ToString(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") " + std::to_string(r.right - r.left) +
           " x " + std::to_string(r.bottom - r.top);
}

// The buttons in creation (tab) order. Pixel rectangles are the twips rectangles rounded half up
// at each dpi: CopyCommand (75, 810) 3765 x 1245, StartUpCommand (3840, 810) 3825 x 1245,
// close (5745, 3030) 1935 x 675.
struct ExpectedButton {
    const char* name;
    const char* text;  // the accessible name; the picture is all that is drawn
    int id;
    const wchar_t* face;
    const wchar_t* pressedFace;
    bool whiteIsTransparent;
    Box at96;
    Box at120;
    Box at144;
};

constexpr ExpectedButton kButtons[] = {
    {"CopyCommand",
     "デスクトップにショートカットを作成する",
     e2e::kCopyCommandId,
     L"copy_face.bmp",
     L"copy_face_pressed.bmp",
     false,
     {5, 54, 251, 83},
     {6, 68, 314, 104},
     {8, 81, 377, 125}},
    {"StartUpCommand",
     "写真を注文する",
     e2e::kStartUpCommandId,
     L"order_face.bmp",
     L"order_face_pressed.bmp",
     true,
     {256, 54, 255, 83},
     {320, 68, 319, 104},
     {384, 81, 383, 125}},
    {"close",
     "閉じる",
     e2e::kCloseId,
     L"close_face.bmp",
     L"close_face_pressed.bmp",
     false,
     {383, 202, 129, 45},
     {479, 253, 161, 56},
     {575, 303, 194, 68}},
};

// The client area, 7770 x 4065 twips, rounded half up the same way.
struct DpiLayout {
    DWORD dpi;
    SIZE client;
    Box ExpectedButton::*button;
};
constexpr DpiLayout kLayouts[] = {
    {96, {518, 271}, &ExpectedButton::at96},
    {120, {648, 339}, &ExpectedButton::at120},
    {144, {777, 407}, &ExpectedButton::at144},
};

constexpr SIZE kClient96 = {518, 271};
constexpr SIZE kBackground = {517, 271};
constexpr Rgb kWhite = {255, 255, 255};
// What a smoothing filter may add beyond the range of the 96 dpi pixels a pixel comes from: its
// own rounding, and nothing like a colour that is not there. (Tavro's bilinear filter stays within
// the range exactly.)
constexpr int kStretchTolerance = 1;
// How far from its place a 96 dpi pixel may land, in 96 dpi pixels. Around the background the
// filter reaches one pixel. A face is centred in a button whose edges the twips round by up to
// half a pixel, and the centring rounds by up to one more, so a face may sit one 96 dpi pixel
// from where the scaled 96 dpi window has it, and the filter reaches one further.
constexpr int kBackgroundReach = 1;
constexpr int kFaceReach = 2;
// The button frame (2 pixels) and the focus mark (3 pixels in) keep their pixel size at every
// dpi, as the system draws them: the outer 4 pixels of a button are no scaled picture. Inside
// them, the frame hides a face's outermost pixels at 96 dpi, which a larger face shows: the next
// 96 dpi pixel's worth is no comparison either.
constexpr int kButtonEdge = 4;
int ButtonEdgeAt(int dpi) {
    return kButtonEdge + (dpi + 95) / 96;
}

bool InRect(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool InAny(const std::vector<RECT>& rects, int x, int y) {
    return std::any_of(rects.begin(), rects.end(), [&](const RECT& r) { return InRect(r, x, y); });
}

// A value (a RECT, a SIZE) at an address that lies at the same place in this process and in
// another. WM_DPICHANGED points at its suggested rectangle, and WM_GETDPISCALEDSIZE at a SIZE the
// receiver fills in; Wine 8 does not copy what a message's lParam points at into the receiving
// process unless the message is one it knows to carry a pointer, which neither is: the number
// arrives as it was sent. So the value is written into Tavro's memory at an address this process
// holds too, with the same contents, and the message carries a pointer that is valid in both,
// whichever side reads it; what Tavro writes there is read back from its memory.
template <typename Value>
class SharedAddress {
  public:
    SharedAddress(HANDLE process, const Value& value) : process_(process) {
        for (int attempt = 0; attempt < 16 && address_ == nullptr; ++attempt) {
            void* local = VirtualAlloc(nullptr, sizeof value, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
            if (local == nullptr) {
                break;
            }
            local_.push_back(local);  // kept until the end, so the next attempt gets another address
            void* remote = VirtualAllocEx(process, local, sizeof value, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
            if (remote == local) {
                SIZE_T written = 0;
                *static_cast<Value*>(local) = value;
                if (WriteProcessMemory(process, remote, &value, sizeof value, &written) && written == sizeof value) {
                    address_ = local;
                } else {
                    error_ = "WriteProcessMemory: " + e2e::DescribeError(GetLastError());
                    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
                    break;
                }
            } else if (remote != nullptr) {
                VirtualFreeEx(process, remote, 0, MEM_RELEASE);
            } else {
                error_ = "VirtualAllocEx: " + e2e::DescribeError(GetLastError());
            }
        }
        if (address_ == nullptr && error_.empty()) {
            error_ = "no address free in both processes";
        }
    }
    SharedAddress(const SharedAddress&) = delete;
    SharedAddress& operator=(const SharedAddress&) = delete;
    ~SharedAddress() {
        if (address_ != nullptr) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
        for (void* local : local_) {
            VirtualFree(local, 0, MEM_RELEASE);
        }
    }
    LPARAM Pointer() const { return reinterpret_cast<LPARAM>(address_); }
    const std::string& Error() const { return error_; }
    // The value as it now stands in the other process.
    bool ReadBack(Value* value) {
        SIZE_T read = 0;
        if (!ReadProcessMemory(process_, address_, value, sizeof *value, &read) || read != sizeof *value) {
            error_ = "ReadProcessMemory: " + e2e::DescribeError(GetLastError());
            return false;
        }
        return true;
    }

  private:
    HANDLE process_;
    void* address_ = nullptr;
    std::vector<void*> local_;
    std::string error_;
};

// WM_GETDPISCALEDSIZE, which the headers show only to programs built for Windows 10 1703 on.
constexpr UINT kGetDpiScaledSize = 0x02E4;

// The window size whose client area is client at dpi, with the frame as this system draws it at
// that dpi (AdjustWindowRectExForDpi, Windows 10 1607 on, and Wine).
SIZE FrameFor(HWND window, SIZE client, UINT dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    const auto adjust = reinterpret_cast<AdjustForDpi>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT frame = {0, 0, client.cx, client.cy};
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    if (adjust == nullptr || !adjust(&frame, style, FALSE, exStyle, dpi)) {
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

class MainWindowTest : public testing::Test {
  protected:
    // The dpi is read when the program starts; the setting is put back when the case ends.
    void Start(DWORD dpi = 96) {
        dpi_ = std::make_unique<e2e::ScopedLogPixels>(dpi);
        ASSERT_TRUE(dpi_->Applied()) << dpi_->Error();
        ASSERT_NO_FATAL_FAILURE(e2e::StartFromDownloads(L"Tavro_12345.exe", &main_));
    }

    // Ends the running copy and starts a new one at another dpi, in the same prefix.
    void Restart(DWORD dpi) {
        if (main_.process) {
            main_.process.Terminate();
            ASSERT_TRUE(main_.process.WaitForExit(e2e::kStartBound).has_value()) << "Tavro did not end";
        }
        main_ = e2e::MainWindow{};
        dpi_.reset();
        ASSERT_NO_FATAL_FAILURE(Start(dpi));
    }

    HWND Button(int id) const { return GetDlgItem(main_.window, id); }

    enum class Taken { kWhole, kPlaceOnly };

    // Sends WM_DPICHANGED as Windows would, then checks how much of the suggested rectangle the
    // window took: all of it, or its place.
    void SendDpiChanged(DWORD dpi, const RECT& suggested, Taken taken = Taken::kWhole) {
        const SharedAddress<RECT> rect(main_.process.Handle(), suggested);
        ASSERT_NE(rect.Pointer(), 0) << rect.Error();
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), rect.Pointer(),
                                        SMTO_ABORTIFHUNG, 5000, &result))
            << "WM_DPICHANGED: " << e2e::DescribeError(GetLastError());
        ASSERT_TRUE(main_.process.IsRunning()) << "Tavro ended on WM_DPICHANGED";
        RECT now = {};
        ASSERT_TRUE(GetWindowRect(main_.window, &now));
        if (taken == Taken::kWhole) {
            EXPECT_EQ(ToString(now), ToString(suggested))
                << "window rectangle against the suggested one at " << dpi << " dpi";
        } else {
            EXPECT_EQ(now.left, suggested.left) << "window left against the suggested one at " << dpi << " dpi";
            EXPECT_EQ(now.top, suggested.top) << "window top against the suggested one at " << dpi << " dpi";
        }
    }

    // Sends WM_GETDPISCALEDSIZE as Windows 10 (1703 on) does before WM_DPICHANGED, for a window
    // now at dpi from, with the size Windows would give by scaling the whole window linearly;
    // *size receives the answer.
    void SendGetDpiScaledSize(DWORD from, DWORD dpi, SIZE* size) {
        RECT frame = {};
        ASSERT_TRUE(GetWindowRect(main_.window, &frame));
        const SIZE linear = {MulDiv(frame.right - frame.left, static_cast<int>(dpi), static_cast<int>(from)),
                             MulDiv(frame.bottom - frame.top, static_cast<int>(dpi), static_cast<int>(from))};
        SharedAddress<SIZE> shared(main_.process.Handle(), linear);
        ASSERT_NE(shared.Pointer(), 0) << shared.Error();
        DWORD_PTR handled = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main_.window, kGetDpiScaledSize, dpi, shared.Pointer(), SMTO_ABORTIFHUNG, 5000,
                                        &handled))
            << "WM_GETDPISCALEDSIZE: " << e2e::DescribeError(GetLastError());
        ASSERT_TRUE(shared.ReadBack(size)) << shared.Error();
        EXPECT_EQ(handled, static_cast<DWORD_PTR>(TRUE))
            << "WM_GETDPISCALEDSIZE not handled: Windows would scale the window linearly, to " << linear.cx << " x "
            << linear.cy;
    }

    // Send DPI messages as another program could, with values no monitor gives; false, with *error,
    // when the window did not answer within kHostileBoundMs. *answer and *size receive
    // WM_GETDPISCALEDSIZE's answer and the size it left.
    bool SendHostileDpiChanged(WPARAM wParam, const RECT& suggested, std::string* error) {
        const SharedAddress<RECT> rect(main_.process.Handle(), suggested);
        if (rect.Pointer() == 0) {
            *error = rect.Error();
            return false;
        }
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(main_.window, WM_DPICHANGED, wParam, rect.Pointer(), SMTO_ABORTIFHUNG, kHostileBoundMs,
                                 &result)) {
            *error = "no answer within " + std::to_string(kHostileBoundMs) + " ms";
            return false;
        }
        return true;
    }

    bool SendHostileGetDpiScaledSize(WPARAM wParam, DWORD_PTR* answer, SIZE* size, std::string* error) {
        SharedAddress<SIZE> shared(main_.process.Handle(), SIZE{518, 271});
        if (shared.Pointer() == 0) {
            *error = shared.Error();
            return false;
        }
        if (!SendMessageTimeoutW(main_.window, kGetDpiScaledSize, wParam, shared.Pointer(), SMTO_ABORTIFHUNG,
                                 kHostileBoundMs, answer)) {
            *error = "no answer within " + std::to_string(kHostileBoundMs) + " ms";
            return false;
        }
        if (!shared.ReadBack(size)) {
            *error = shared.Error();
            return false;
        }
        return true;
    }

    // The window's top left corner, its caption's start, on the work area of its monitor.
    void ExpectCaptionOnWorkArea() {
        RECT frame = {};
        ASSERT_TRUE(GetWindowRect(main_.window, &frame));
        const HMONITOR monitor = MonitorFromWindow(main_.window, MONITOR_DEFAULTTONULL);
        ASSERT_NE(monitor, nullptr) << "the window is on no monitor: " << ToString(frame);
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetMonitorInfoW(monitor, &info));
        const POINT corner = {frame.left, frame.top};
        EXPECT_TRUE(PtInRect(&info.rcWork, corner))
            << "window " << ToString(frame) << " against the work area " << ToString(info.rcWork);
    }

    static constexpr UINT kHostileBoundMs = 3000;

    // The client size and every button's rectangle at the layout's dpi.
    void ExpectLayout(const DpiLayout& layout) {
        SCOPED_TRACE(std::to_string(layout.dpi) + " dpi");
        RECT client = {};
        ASSERT_TRUE(GetClientRect(main_.window, &client));
        EXPECT_EQ(client.right, layout.client.cx) << "client width";
        EXPECT_EQ(client.bottom, layout.client.cy) << "client height";
        for (const ExpectedButton& want : kButtons) {
            SCOPED_TRACE(want.name);
            const HWND button = Button(want.id);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(ToString(e2e::RectInParent(button)), ToString(ToRect(want.*layout.button)))
                << "rectangle in the client";
        }
    }

    // The window at dpi against the 96 dpi window scaled (at96, captured with the same focus and
    // colours), and against the background picture outside the buttons: there nothing may show of
    // what lies under the buttons at 96 dpi, the painted copies of the faces.
    void ExpectScaledPictures(int dpi, const Pixels& at96) {
        ASSERT_EQ(e2e::NameOf(main_, e2e::WaitForFocus(main_.threadId, main_.copy)), "CopyCommand")
            << "focus before looking at the pixels";
        Pixels picture;
        std::string error;
        ASSERT_TRUE(e2e::LoadBitmapFile(e2e::ResourcePath(L"background.bmp"), &picture, &error)) << error;
        // The 96 dpi client area without its buttons: the picture, and white beyond it.
        Pixels ground;
        ground.width = kClient96.cx;
        ground.height = kClient96.cy;
        for (int y = 0; y < ground.height; ++y) {
            for (int x = 0; x < ground.width; ++x) {
                ground.rgb.push_back(picture.Contains(x, y) ? picture.At(x, y) : kWhite);
            }
        }
        std::vector<RECT> under96;
        for (const ExpectedButton& want : kButtons) {
            under96.push_back(ToRect(want.at96));
        }
        std::vector<RECT> buttons;
        std::vector<RECT> insides;
        for (const ExpectedButton& want : kButtons) {
            RECT r = e2e::RectInParent(Button(want.id));
            buttons.push_back(r);
            InflateRect(&r, -ButtonEdgeAt(dpi), -ButtonEdgeAt(dpi));
            insides.push_back(r);
        }
        const auto outsideButtons = [&](int x, int y) { return !InAny(buttons, x, y); };
        const auto notUnderA96Button = [&](int x, int y) { return !InAny(under96, x, y); };
        const auto pictureNotFrame = [&](int x, int y) { return !InAny(buttons, x, y) || InAny(insides, x, y); };
        const auto everything = [](int, int) { return true; };
        const auto background = [&](const Pixels& shown) {
            return e2e::CompareScaled(shown, dpi, ground, outsideButtons, notUnderA96Button, kBackgroundReach,
                                      kStretchTolerance,
                                      "outside the buttons, against the background picture without what lies under "
                                      "the 96 dpi buttons");
        };
        const auto window = [&](const Pixels& shown) {
            return e2e::CompareScaled(shown, dpi, at96, pictureNotFrame, everything, kFaceReach, kStretchTolerance,
                                      "the window, button frames and focus marks aside, against the 96 dpi window");
        };
        Pixels shown;
        ASSERT_NO_FATAL_FAILURE(CaptureUntil(&shown, [&](const Pixels& now) {
            return background(now).Mismatched() == 0 && window(now).Mismatched() == 0;
        }));
        const e2e::RangeDiff outside = background(shown);
        EXPECT_GT(outside.Compared(), 0);
        EXPECT_EQ(outside.Mismatched(), 0) << outside.Report();
        const e2e::RangeDiff whole = window(shown);
        EXPECT_GT(whole.Compared(), shown.width * shown.height / 2);
        EXPECT_EQ(whole.Mismatched(), 0) << whole.Report();
    }

    // What the buttons should show now, each face as committed and the back colour given.
    std::vector<e2e::ButtonLook> Looks(Rgb back) {
        std::vector<e2e::ButtonLook> looks;
        const HWND focus = e2e::FocusOf(main_.threadId);
        for (const ExpectedButton& want : kButtons) {
            e2e::ButtonLook look;
            look.name = want.name;
            look.rect = e2e::RectInParent(Button(want.id));
            std::string error;
            EXPECT_TRUE(e2e::LoadBitmapFile(e2e::ResourcePath(want.face), &look.face, &error)) << error;
            look.whiteIsTransparent = want.whiteIsTransparent;
            look.back = back;
            look.frameInDriverColours = back == e2e::FromColorRef(GetSysColor(COLOR_BTNHIGHLIGHT));
            look.focused = focus == Button(want.id);
            looks.push_back(std::move(look));
        }
        return looks;
    }

    // Captures the client area until accept holds or kPaintBound passes; *shown keeps the last capture.
    template <typename Accept>
    void CaptureUntil(Pixels* shown, Accept accept) {
        std::string error;
        // Off the window, so no button is hovered or hidden under the cursor.
        ASSERT_TRUE(e2e::MoveMouseTo({1020, 760}, &error)) << error;
        ASSERT_TRUE(e2e::BringToFront(main_.window, &error)) << error;
        bool captured = true;
        e2e::PollUntil(
            [&] {
                captured = e2e::CaptureClient(main_.window, shown, &error);
                return captured && accept(*shown);
            },
            kPaintBound, std::chrono::milliseconds(50));
        ASSERT_TRUE(captured) << error;
    }

    // Checks every pixel of the client area at 96 dpi: background, right margin and the three
    // buttons. *capture, when given, receives what was checked.
    void ExpectPicturesShown(Rgb back, Pixels* capture = nullptr) {
        // Which button shows the focus mark depends on the focus: start from the initial one.
        ASSERT_EQ(e2e::NameOf(main_, e2e::WaitForFocus(main_.threadId, main_.copy)), "CopyCommand")
            << "focus before looking at the pixels";
        Pixels background;
        std::string error;
        ASSERT_TRUE(e2e::LoadBitmapFile(e2e::ResourcePath(L"background.bmp"), &background, &error)) << error;
        ASSERT_EQ(background.width, kBackground.cx) << "background.bmp width";
        ASSERT_EQ(background.height, kBackground.cy) << "background.bmp height";
        const std::vector<e2e::ButtonLook> looks = Looks(back);
        std::vector<RECT> rects;
        for (const auto& look : looks) {
            rects.push_back(look.rect);
        }
        Pixels shown;
        ASSERT_NO_FATAL_FAILURE(CaptureUntil(&shown, [&](const Pixels& now) {
            bool clean = e2e::CompareBackground(now, background, rects).Mismatched() == 0;
            for (const auto& look : looks) {
                clean = clean && e2e::CompareButton(now, look).Clean(look.focused);
            }
            return clean;
        }));

        const e2e::PixelDiff outside = e2e::CompareBackground(shown, background, rects);
        EXPECT_EQ(outside.Mismatched(), 0) << outside.Report();
        // The strip right of and below the picture, where there is one, is plain white.
        e2e::PixelDiff margin("client area beyond the background picture");
        for (int y = 0; y < shown.height; ++y) {
            for (int x = 0; x < shown.width; ++x) {
                const bool inButton = std::any_of(rects.begin(), rects.end(), [&](const RECT& r) {
                    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                });
                if (!inButton && (x >= kBackground.cx || y >= kBackground.cy)) {
                    margin.Check(x, y, kWhite, shown.At(x, y));
                }
            }
        }
        EXPECT_GT(margin.Compared(), 0) << "no margin beyond the picture: client " << shown.width << " x "
                                        << shown.height;
        EXPECT_EQ(margin.Mismatched(), 0) << margin.Report();

        for (const auto& look : looks) {
            SCOPED_TRACE(look.name + " at " + ToString(look.rect) + (look.focused ? ", focused" : ""));
            const e2e::ButtonDiffs diffs = e2e::CompareButton(shown, look);
            EXPECT_EQ(diffs.frame.Mismatched(), 0) << diffs.frame.Report();
            EXPECT_EQ(diffs.face.Mismatched(), 0) << diffs.face.Report();
            EXPECT_GT(diffs.white.Compared(), 100) << "the face has hardly any white to look at";
            EXPECT_EQ(diffs.white.Mismatched(), 0) << diffs.white.Report();
            EXPECT_TRUE(diffs.FocusMarkAsExpected(look.focused))
                << (look.focused ? "expected a dotted focus rectangle 3 px in: " : "expected no focus mark: ")
                << diffs.ringChanged << " of " << diffs.ringPixels << " ring pixels differ from the face";
        }
        if (capture != nullptr) {
            *capture = std::move(shown);
        }
    }

    std::unique_ptr<e2e::ScopedLogPixels> dpi_;
    e2e::MainWindow main_;
};

class WindowFrame : public MainWindowTest {
  protected:
    void OneWindowWithClassCaptionAndStyle();
    void BorderCannotResize();
    void ThreeNamedSystemPushButtonsInTabOrder();
    void CaptionShowsTheProgramIcon();
};

void WindowFrame::OneWindowWithClassCaptionAndStyle() {
    std::vector<e2e::WindowInfo> visible;
    for (HWND w : e2e::TopLevelWindowsOf(main_.process.Id())) {
        if (IsWindowVisible(w)) {
            visible.push_back(e2e::Describe(w));
        }
    }
    EXPECT_EQ(visible.size(), 1u) << "visible top-level windows: " << e2e::ToString(visible);
    EXPECT_EQ(Utf8(e2e::ClassNameOf(main_.window)), Utf8(e2e::kMainClass)) << "window class";
    EXPECT_EQ(Utf8(e2e::TitleOf(main_.window)), Utf8(e2e::kMainCaption)) << "caption";

    const auto style = static_cast<DWORD>(GetWindowLongW(main_.window, GWL_STYLE));
    const struct {
        const char* name;
        DWORD bits;
        bool wanted;
    } expectations[] = {
        {"WS_CAPTION", WS_CAPTION, true},
        {"WS_SYSMENU", WS_SYSMENU, true},
        {"WS_THICKFRAME", WS_THICKFRAME, false},
        {"WS_MINIMIZEBOX", WS_MINIMIZEBOX, false},
        {"WS_MAXIMIZEBOX", WS_MAXIMIZEBOX, false},
        {"WS_POPUP", WS_POPUP, false},
        {"WS_CHILD", WS_CHILD, false},
    };
    for (const auto& e : expectations) {
        EXPECT_EQ((style & e.bits) == e.bits, e.wanted)
            << e.name << (e.wanted ? " expected set" : " expected clear") << "; style is 0x" << std::hex << style;
    }
}

// A fixed single border: every point of the frame is plain border, never a sizing handle.
void WindowFrame::BorderCannotResize() {
    RECT w = {};
    GetWindowRect(main_.window, &w);
    const LONG midX = (w.left + w.right) / 2;
    const LONG midY = (w.top + w.bottom) / 2;
    const struct {
        const char* where;
        POINT at;
    } points[] = {
        {"left edge", {w.left, midY}},
        {"right edge", {w.right - 1, midY}},
        {"bottom edge", {midX, w.bottom - 1}},
        {"top edge", {midX, w.top}},
        {"top-left corner", {w.left, w.top}},
        {"top-right corner", {w.right - 1, w.top}},
        {"bottom-left corner", {w.left, w.bottom - 1}},
        {"bottom-right corner", {w.right - 1, w.bottom - 1}},
    };
    for (const auto& p : points) {
        DWORD_PTR hit = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_NCHITTEST, 0, MAKELPARAM(p.at.x, p.at.y), SMTO_ABORTIFHUNG,
                                        2000, &hit))
            << "WM_NCHITTEST at the " << p.where;
        const auto code = static_cast<LRESULT>(hit);
        EXPECT_FALSE(code >= HTLEFT && code <= HTBOTTOMRIGHT)
            << p.where << ": hit-test code " << code << " is a sizing handle; expected HTBORDER (" << HTBORDER << ")";
        EXPECT_NE(code, static_cast<LRESULT>(HTGROWBOX)) << p.where;
    }
}

// The system's push buttons, so that screen readers and UI automation find them: on Windows the
// push-button proxy names each by its window text (Wine 8 has no such proxy; see WINE-NOTES).
void WindowFrame::ThreeNamedSystemPushButtonsInTabOrder() {
    std::vector<HWND> children;
    for (HWND child = GetWindow(main_.window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    ASSERT_EQ(children.size(), std::size(kButtons)) << "child windows of the main window";
    const HWND focus = e2e::WaitForFocus(main_.threadId, children.front());
    for (std::size_t i = 0; i < children.size(); ++i) {
        const ExpectedButton& want = kButtons[i];
        const HWND child = children[i];
        SCOPED_TRACE(std::string("child ") + std::to_string(i) + ", expected " + want.name);
        EXPECT_EQ(GetDlgCtrlID(child), want.id) << "control id";
        EXPECT_EQ(Utf8(e2e::ClassNameOf(child)), Utf8(e2e::kButtonClass)) << "class";
        wchar_t real[256] = {};
        const UINT realLength = RealGetWindowClassW(child, real, 256);
        EXPECT_EQ(Utf8(std::wstring(real, realLength)), Utf8(e2e::kButtonClass)) << "real class (RealGetWindowClassW)";
        EXPECT_EQ(Utf8(e2e::TextOf(child)), want.text) << "window text";
        const auto style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_TABSTOP), static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_TABSTOP))
            << "style 0x" << std::hex << style;
        EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW))
            << "button type; style 0x" << std::hex << style;
        // They keep a button's state, as the system's do, so BM_GETSTATE tells which one has the focus.
        DWORD_PTR state = 0;
        ASSERT_TRUE(SendMessageTimeoutW(child, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 2000, &state)) << "BM_GETSTATE";
        const bool focused = child == focus;
        EXPECT_EQ((state & BST_FOCUS) != 0, focused)
            << "BM_GETSTATE 0x" << std::hex << state << (focused ? ": expected BST_FOCUS" : ": expected no BST_FOCUS");
        EXPECT_EQ(ToString(e2e::RectInParent(child)), ToString(ToRect(want.at96))) << "rectangle in the client";
    }
}

// The window's buttons are user32's classic ones, made with no common-controls context active, so
// comctl32 waits until a message box needs it: then the version 6 one, from the side-by-side
// store, loads for the box's visual-styles look.
TEST_F(WindowFrame, ShowsWithoutLoadingTheCommonControls) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const auto loaded = [this](std::string* listed) {
        std::vector<e2e::LoadedModule> comctl;
        listed->clear();
        for (const e2e::LoadedModule& module : e2e::ModulesOf(main_.process.Id())) {
            *listed += "\n  " + Utf8(module.path);
            if (module.name == L"COMCTL32.DLL") {
                comctl.push_back(module);
            }
        }
        return comctl;
    };
    std::string listed;
    std::vector<e2e::LoadedModule> comctl = loaded(&listed);
    // The premise: the list is the program's own, window code included.
    ASSERT_NE(listed.find("\\USER32.DLL"), std::string::npos) << "modules:" << listed;
    EXPECT_EQ(comctl.size(), 0u) << "comctl32 loaded before any message box; modules:" << listed;

    // The copy command answers with a message box.
    std::string error;
    ASSERT_TRUE(e2e::ClickCentre(main_.copy, &error)) << "clicking CopyCommand: " << error;
    const HWND box = e2e::WaitForMessageBox(main_.process.Id(), std::chrono::seconds(5));
    ASSERT_NE(box, nullptr) << "expected the copy's message box within 5 s";
    comctl = loaded(&listed);
    ASSERT_EQ(comctl.size(), 1u) << "expected comctl32 once the message box shows; modules:" << listed;
    // Version 6 lives in the side-by-side store; system32 holds version 5.
    const std::string path = Utf8(comctl.front().path);
    EXPECT_NE(path.find("\\WINSXS\\"), std::string::npos) << "expected comctl32 6 from WinSxS; got " << path;
    EXPECT_NE(path.find("MICROSOFT.WINDOWS.COMMON-CONTROLS_6595B64144CCF1DF_6."), std::string::npos)
        << "expected comctl32 6 from WinSxS; got " << path;
    const e2e::MessageBoxContents contents = e2e::ReadMessageBox(box, std::chrono::milliseconds(300));
    ASSERT_TRUE(e2e::PressButton(contents, L"OK", &error)) << error;
}

// Wine draws the caption itself, with the window's small icon at its left: look for the
// program's icon there, as this process draws it at the small-icon size.
void WindowFrame::CaptionShowsTheProgramIcon() {
    std::string error;
    ASSERT_TRUE(e2e::MoveMouseTo({1020, 760}, &error)) << error;
    const int small = GetSystemMetrics(SM_CXSMICON);
    std::vector<std::pair<std::string, tavro::UniqueIcon>> candidates;
    {
        tavro::UniqueModule exe(LoadLibraryExW(e2e::layout::kTavro, nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(exe) << "cannot open Tavro.exe: " << e2e::DescribeError(GetLastError());
        const HRSRC found = FindResourceW(exe.get(), MAKEINTRESOURCEW(30001), MAKEINTRESOURCEW(3));  // RT_ICON
        ASSERT_NE(found, nullptr) << "no RT_ICON 30001 in Tavro.exe";
        auto* bits = static_cast<BYTE*>(LockResource(LoadResource(exe.get(), found)));
        const DWORD size = SizeofResource(exe.get(), found);
        // As the program may have set it: scaled when loaded, or scaled when drawn.
        for (const int loadedAt : {small, 32}) {
            candidates.emplace_back("Tavro icon loaded at " + std::to_string(loadedAt),
                                    tavro::UniqueIcon(CreateIconFromResourceEx(bits, size, TRUE, 0x00030000, loadedAt,
                                                                               loadedAt, LR_DEFAULTCOLOR)));
            ASSERT_TRUE(candidates.back().second) << candidates.back().first;
        }
    }
    RECT frame = {};
    GetWindowRect(main_.window, &frame);
    POINT clientOrigin = e2e::ClientToScreenPoint(main_.window, {0, 0});
    // Caption strip: from the window's top to the client area, the left 3 icon widths.
    const RECT strip = {frame.left, frame.top, frame.left + 3 * small, clientOrigin.y};

    struct Opaque {
        Pixels onBlack, onWhite;
    };
    std::vector<Opaque> drawn;
    for (const auto& candidate : candidates) {
        Opaque o;
        for (const auto& [ground, out] :
             {std::pair{RGB(0, 0, 0), &o.onBlack}, std::pair{RGB(255, 255, 255), &o.onWhite}}) {
            ASSERT_TRUE(e2e::RenderLocally(small, small, out, [&](HDC dc) {
                RECT all = {0, 0, small, small};
                tavro::UniqueBrush brush(CreateSolidBrush(ground));
                FillRect(dc, &all, brush.get());
                DrawIconEx(dc, 0, 0, candidate.second.get(), small, small, 0, nullptr, DI_NORMAL);
            }));
        }
        drawn.push_back(std::move(o));
    }
    // Counts opaque pixels of candidate i that differ at (left, top) of the strip.
    const auto mismatches = [&](const Pixels& shown, std::size_t i, int left, int top, int* opaque) {
        int differ = 0;
        *opaque = 0;
        for (int y = 0; y < small; ++y) {
            for (int x = 0; x < small; ++x) {
                if (drawn[i].onBlack.At(x, y) != drawn[i].onWhite.At(x, y)) {
                    continue;
                }
                ++*opaque;
                differ += shown.At(left + x, top + y) != drawn[i].onBlack.At(x, y) ? 1 : 0;
            }
        }
        return differ;
    };
    std::string best = "nothing compared";
    Pixels shown;
    const bool found = e2e::PollUntil(
        [&] {
            if (!e2e::CaptureScreen(strip, &shown, &error)) {
                return false;
            }
            int fewest = small * small + 1;
            for (std::size_t i = 0; i < drawn.size(); ++i) {
                for (int top = 0; top + small <= shown.height; ++top) {
                    for (int left = 0; left + small <= shown.width; ++left) {
                        int opaque = 0;
                        const int differ = mismatches(shown, i, left, top, &opaque);
                        if (differ < fewest) {
                            fewest = differ;
                            best = candidates[i].first + " at (" + std::to_string(left) + ", " + std::to_string(top) +
                                   ") of the caption strip: " + std::to_string(differ) + " of " +
                                   std::to_string(opaque) + " opaque pixels differ";
                        }
                        if (differ == 0 && opaque * 4 >= small * small) {
                            return true;
                        }
                    }
                }
            }
            return false;
        },
        kPaintBound, std::chrono::milliseconds(50));
    EXPECT_TRUE(found) << "expected the program icon in the caption; closest: " << best << (error.empty() ? "" : "; ")
                       << error;
}

// The window as started, looked at without touching it.
TEST_F(WindowFrame, OneFixedWindowWithItsIconAndThreeNamedButtons) {
    ASSERT_NO_FATAL_FAILURE(Start());
    {
        SCOPED_TRACE("class, caption and style");
        ASSERT_NO_FATAL_FAILURE(OneWindowWithClassCaptionAndStyle());
    }
    {
        SCOPED_TRACE("border");
        ASSERT_NO_FATAL_FAILURE(BorderCannotResize());
    }
    {
        SCOPED_TRACE("buttons");
        ASSERT_NO_FATAL_FAILURE(ThreeNamedSystemPushButtonsInTabOrder());
    }
    SCOPED_TRACE("caption icon");
    ASSERT_NO_FATAL_FAILURE(CaptionShowsTheProgramIcon());
}

// A user opens the window menu with Alt+Space. Wine's menus cannot be read from another process,
// so the menu shown is compared, pixel for pixel, with the one Wine shows for a window of the same
// style whose menu lost exactly Restore, Size, Minimize and Maximize.
class ReferenceWindow {
  public:
    explicit ReferenceWindow(bool withoutSizing) : withoutSizing_(withoutSizing) {
        ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        thread_.reset(CreateThread(nullptr, 0, &ReferenceWindow::Run, this, 0, nullptr));
        if (thread_) {
            HANDLE waits[] = {ready_.get(), thread_.get()};
            WaitForMultipleObjects(2, waits, FALSE, 5000);
        }
    }
    ReferenceWindow(const ReferenceWindow&) = delete;
    ReferenceWindow& operator=(const ReferenceWindow&) = delete;
    ~ReferenceWindow() {
        if (window_ != nullptr) {
            PostMessageW(window_, WM_CLOSE, 0, 0);
        }
        if (thread_) {
            WaitForSingleObject(thread_.get(), 5000);
        }
    }
    HWND Get() const { return window_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_DESTROY) {
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<ReferenceWindow*>(param);
        WNDCLASSEXW cls = {};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = Procedure;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        cls.lpszClassName = L"TavroE2EReferenceFrame";
        RegisterClassExW(&cls);
        const HWND window = CreateWindowExW(0, cls.lpszClassName, L"Reference", WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                            40, 40, 300, 200, nullptr, nullptr, cls.hInstance, nullptr);
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

    bool withoutSizing_;
    HWND window_ = nullptr;
    tavro::UniqueHandle ready_;
    tavro::UniqueHandle thread_;
};

BOOL CALLBACK FindVisibleMenu(HWND window, LPARAM param) {
    if (IsWindowVisible(window) && e2e::ClassNameOf(window) == L"#32768") {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// Wine's popup menus are top-level windows of class #32768 on the thread running the menu.
HWND VisibleMenuOf(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(threadId, FindVisibleMenu, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool SamePixels(const Pixels& a, const Pixels& b) {
    return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

// Opens the window menu with Alt+Space and captures it: once accept holds, or, without accept, once
// the picture stays the same over a few captures. Closes it with Escape.
void CaptureWindowMenu(HWND window, Pixels* shown, const Pixels* accept = nullptr) {
    std::string error;
    ASSERT_TRUE(e2e::MoveMouseTo({1020, 760}, &error)) << error;
    ASSERT_TRUE(e2e::PressKeys(window, {VK_MENU, VK_SPACE}, &error)) << error;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HWND menu = nullptr;
    ASSERT_TRUE(e2e::PollUntil([&] { return (menu = VisibleMenuOf(thread)) != nullptr; }, kPaintBound))
        << "no window menu appeared after Alt+Space";
    // Wine hands a window's pixels to the screen when its thread next goes idle.
    e2e::LetHandle(menu);
    Pixels previous;
    int unchanged = 0;
    const bool settled = e2e::PollUntil(
        [&] {
            if (!e2e::CaptureClient(menu, shown, &error)) {
                return false;
            }
            if (accept != nullptr) {
                return SamePixels(*accept, *shown);
            }
            unchanged = SamePixels(previous, *shown) ? unchanged + 1 : 0;
            previous = *shown;
            return unchanged >= 3;
        },
        kPaintBound, std::chrono::milliseconds(50));
    ASSERT_TRUE(e2e::PressKey(window, VK_ESCAPE, &error)) << error;
    EXPECT_TRUE(e2e::PollUntil([&] { return VisibleMenuOf(thread) == nullptr; }, kPaintBound))
        << "the window menu stayed open after Escape";
    if (accept == nullptr) {
        ASSERT_TRUE(settled) << "the window menu kept changing for " << kPaintBound.count() << " ms; " << error;
    }
}

TEST_F(WindowFrame, WindowMenuHasNoSizingItems) {
    Pixels full, trimmed, tavro;
    {
        ReferenceWindow reference(false);
        ASSERT_NE(reference.Get(), nullptr) << "no reference window";
        ASSERT_NO_FATAL_FAILURE(CaptureWindowMenu(reference.Get(), &full));
    }
    {
        ReferenceWindow reference(true);
        ASSERT_NE(reference.Get(), nullptr) << "no reference window";
        ASSERT_NO_FATAL_FAILURE(CaptureWindowMenu(reference.Get(), &trimmed));
    }
    // The premise: the comparison tells the two menus apart.
    ASSERT_FALSE(SamePixels(full, trimmed)) << "the full and the trimmed menu look the same";

    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(CaptureWindowMenu(main_.window, &tavro, &trimmed));
    e2e::PixelDiff diff("Tavro's window menu against Move and Close only");
    if (tavro.width == trimmed.width && tavro.height == trimmed.height) {
        for (int y = 0; y < tavro.height; ++y) {
            for (int x = 0; x < tavro.width; ++x) {
                diff.Check(x, y, trimmed.At(x, y), tavro.At(x, y));
            }
        }
    }
    EXPECT_EQ(tavro.width, trimmed.width) << "menu width; the full menu is " << full.width;
    EXPECT_EQ(tavro.height, trimmed.height) << "menu height; the full menu is " << full.height;
    EXPECT_EQ(diff.Mismatched(), 0) << diff.Report();
}

// At every dpi the window is the 96 dpi window, scaled: twips place the window and its buttons,
// and the pictures grow with them.
class WindowScaled : public MainWindowTest {};

// This case once checked that the pictures kept their pixel size at 120 dpi: the fault itself.
TEST_F(WindowScaled, LayoutAndPicturesFollowTheDpi) {
    const Rgb back = e2e::FromColorRef(GetSysColor(COLOR_BTNHIGHLIGHT));
    Pixels at96;
    for (const DpiLayout& layout : kLayouts) {
        if (layout.dpi == 96) {
            ASSERT_NO_FATAL_FAILURE(Start());
            ExpectLayout(layout);
            ASSERT_NO_FATAL_FAILURE(ExpectPicturesShown(back, &at96));
            continue;
        }
        ASSERT_FALSE(at96.rgb.empty()) << "the 96 dpi layout comes first";
        ASSERT_NO_FATAL_FAILURE(Restart(layout.dpi));
        ExpectLayout(layout);
        SCOPED_TRACE(std::to_string(layout.dpi) + " dpi");
        ASSERT_NO_FATAL_FAILURE(ExpectScaledPictures(static_cast<int>(layout.dpi), at96));
    }
}

// Scaled, the order face's white still shows the light-edge colour, with no fringe of white
// where it meets the rest of the face.
TEST_F(WindowScaled, OrderFaceWhiteFollowsTheLightEdgeColour) {
    e2e::ScopedSystemColour hilight(L"ButtonHilight", L"255 255 0");
    ASSERT_TRUE(hilight.Applied()) << hilight.Error();
    const Rgb yellow = {255, 255, 0};
    Pixels at96;
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ExpectPicturesShown(yellow, &at96));
    ASSERT_NO_FATAL_FAILURE(Restart(144));
    ASSERT_NO_FATAL_FAILURE(ExpectScaledPictures(144, at96));
    // The premise: the comparison above looked at a face whose white shows yellow.
    Pixels shown;
    std::string error;
    ASSERT_TRUE(e2e::CaptureClient(main_.window, &shown, &error)) << error;
    const RECT order = e2e::RectInParent(main_.startUp);
    int yellowPixels = 0;
    for (int y = order.top; y < order.bottom; ++y) {
        for (int x = order.left; x < order.right; ++x) {
            yellowPixels += shown.Contains(x, y) && shown.At(x, y) == yellow ? 1 : 0;
        }
    }
    EXPECT_GT(yellowPixels, 2000) << "pixels of the order button showing the light-edge colour";
}

// Windows sends WM_DPICHANGED when the window moves to a monitor of another scale; Wine 8 has one
// dpi for everything and never does, so the message is sent here as Windows would send it.
TEST_F(WindowScaled, DpiChangeLaysTheWindowOutAgain) {
    const Rgb back = e2e::FromColorRef(GetSysColor(COLOR_BTNHIGHLIGHT));
    Pixels at96;
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ExpectPicturesShown(back, &at96));
    const DpiLayout& to = kLayouts[2];
    ASSERT_EQ(to.dpi, 144u);

    RECT suggested = {0, 0, to.client.cx, to.client.cy};
    AdjustWindowRectEx(&suggested, static_cast<DWORD>(GetWindowLongW(main_.window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(main_.window, GWL_EXSTYLE)));
    RECT frame = {};
    ASSERT_TRUE(GetWindowRect(main_.window, &frame));
    OffsetRect(&suggested, frame.left - suggested.left - 20, frame.top - suggested.top - 10);
    ASSERT_NO_FATAL_FAILURE(SendDpiChanged(to.dpi, suggested));
    ExpectLayout(to);
    ASSERT_NO_FATAL_FAILURE(ExpectScaledPictures(static_cast<int>(to.dpi), at96));

    // And back: at 96 dpi again the window is the 96 dpi window, pixel for pixel.
    ASSERT_NO_FATAL_FAILURE(SendDpiChanged(96, frame));
    ExpectLayout(kLayouts[0]);
    ASSERT_NO_FATAL_FAILURE(ExpectPicturesShown(back));
}

// A window made at 120 dpi and moved to a 144 dpi monitor, as Windows 10 (1703 on) tells it: first
// WM_GETDPISCALEDSIZE asks the size it wants, then WM_DPICHANGED suggests a rectangle of that
// size. The caption and frame do not grow with the dpi as the client area does, so the answer
// must be the frame around the exact twips client area at 144 dpi, not the whole window scaled.
// Wine 8 neither sends these messages nor draws the frame at another dpi than its one system
// dpi: which frame Windows draws at the new dpi, and that it then suggests the size given here,
// only real Windows shows. What Wine shows is the answer, and the window laid out for 144 dpi
// with its client area exact, pictures and all.
TEST_F(WindowScaled, MadeAtOneDpiThenMovedToAnotherLaysOutForTheSecond) {
    const Rgb back = e2e::FromColorRef(GetSysColor(COLOR_BTNHIGHLIGHT));
    Pixels at96;
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ExpectPicturesShown(back, &at96));
    ASSERT_NO_FATAL_FAILURE(Restart(120));
    ExpectLayout(kLayouts[1]);
    const DpiLayout& to = kLayouts[2];
    ASSERT_EQ(to.dpi, 144u);

    SIZE asked = {};
    ASSERT_NO_FATAL_FAILURE(SendGetDpiScaledSize(kLayouts[1].dpi, to.dpi, &asked));
    const SIZE exact = FrameFor(main_.window, to.client, to.dpi);
    EXPECT_EQ(asked.cx, exact.cx) << "window width asked for at " << to.dpi << " dpi";
    EXPECT_EQ(asked.cy, exact.cy) << "window height asked for at " << to.dpi << " dpi";

    RECT frame = {};
    ASSERT_TRUE(GetWindowRect(main_.window, &frame));
    const RECT suggested = {frame.left - 30, frame.top - 20, frame.left - 30 + asked.cx, frame.top - 20 + asked.cy};
    // Where this system's frame at 144 dpi is not the one the window has (Wine keeps its one), the
    // window makes its client area exact itself, so only the suggested place must hold.
    ASSERT_NO_FATAL_FAILURE(SendDpiChanged(to.dpi, suggested, Taken::kPlaceOnly));
    ExpectLayout(to);
    ASSERT_NO_FATAL_FAILURE(ExpectScaledPictures(static_cast<int>(to.dpi), at96));
}

// Values no monitor gives, as any program can send them: a scale outside Windows' 96 to 480 dpi is
// refused (WM_GETDPISCALEDSIZE answers FALSE, WM_DPICHANGED changes nothing) at once and without
// overflow, and a suggested rectangle that is inverted or on no monitor is not taken: the window
// is laid out for the dpi and stays where the mouse can reach its caption.
TEST_F(WindowScaled, HostileDpiValuesAreRefusedOrNotTaken) {
    ASSERT_NO_FATAL_FAILURE(Start());
    RECT frame = {};
    ASSERT_TRUE(GetWindowRect(main_.window, &frame));
    std::string error;
    for (const WPARAM dpi : {WPARAM{0x7fffffff}, WPARAM{9000}, WPARAM{481}, WPARAM{95}, WPARAM{1}, WPARAM{0}}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        DWORD_PTR answer = 0;
        SIZE size = {};
        ASSERT_TRUE(SendHostileGetDpiScaledSize(dpi, &answer, &size, &error)) << "WM_GETDPISCALEDSIZE: " << error;
        EXPECT_EQ(answer, static_cast<DWORD_PTR>(FALSE))
            << "WM_GETDPISCALEDSIZE answered, with " << size.cx << " x " << size.cy;
        const auto x = static_cast<WORD>(dpi & 0xffff);
        ASSERT_TRUE(SendHostileDpiChanged(MAKEWPARAM(x, x), frame, &error)) << "WM_DPICHANGED: " << error;
        ExpectLayout(kLayouts[0]);
    }

    const DpiLayout& to = kLayouts[2];
    const SIZE exact = FrameFor(main_.window, to.client, to.dpi);
    struct Row {
        const char* what;
        RECT suggested;
    };
    const Row rows[] = {
        {"inverted", {frame.left + exact.cx, frame.top + exact.cy, frame.left, frame.top}},
        {"on no monitor", {40000, 30000, 40000 + exact.cx, 30000 + exact.cy}},
        {"on no monitor, above and left", {-40000, -30000, -40000 + exact.cx, -30000 + exact.cy}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(SendHostileDpiChanged(MAKEWPARAM(96, 96), frame, &error)) << "back to 96 dpi: " << error;
        ASSERT_TRUE(SendHostileDpiChanged(MAKEWPARAM(to.dpi, to.dpi), row.suggested, &error))
            << "WM_DPICHANGED: " << error;
        ExpectLayout(to);
        ExpectCaptionOnWorkArea();
    }
}

// Moved off the screen (a monitor removed, the resolution made smaller), the window comes back
// to its monitor's work area when the display change is announced.
TEST_F(WindowScaled, DisplayChangeBringsTheCaptionBack) {
    ASSERT_NO_FATAL_FAILURE(Start());
    for (const POINT away : {POINT{6000, 100}, POINT{100, 5000}, POINT{-6000, -5000}}) {
        SCOPED_TRACE(std::to_string(away.x) + "," + std::to_string(away.y));
        ASSERT_TRUE(
            SetWindowPos(main_.window, nullptr, away.x, away.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
            << e2e::DescribeError(GetLastError());
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_DISPLAYCHANGE, 32,
                                        MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)),
                                        SMTO_ABORTIFHUNG, 5000, &ignored))
            << "WM_DISPLAYCHANGE: " << e2e::DescribeError(GetLastError());
        ExpectCaptionOnWorkArea();
        ExpectLayout(kLayouts[0]);
    }
}

// At 240 dpi (250 %) the window is larger than the 1024 x 768 screen of the tests: the system
// would clamp its frame, leaving the close picture beyond the client area. Every button lies in
// the client area, and the caption on the work area.
TEST_F(WindowScaled, LargerThanTheScreenKeepsItsButtonsAndCaption) {
    ASSERT_NO_FATAL_FAILURE(Start(240));
    RECT work = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    RECT client = {};
    ASSERT_TRUE(GetClientRect(main_.window, &client));
    ASSERT_GT(client.right, work.right - work.left) << "the premise: the window is wider than the work area";
    for (const ExpectedButton& want : kButtons) {
        SCOPED_TRACE(want.name);
        const RECT button = e2e::RectInParent(Button(want.id));
        RECT inside = {};
        IntersectRect(&inside, &button, &client);
        EXPECT_EQ(ToString(inside), ToString(button)) << "the button against the client area " << ToString(client);
    }
    ExpectCaptionOnWorkArea();
}

// A scale change while the window is minimised (minimise is on no menu, but DefWindowProc honours
// the command): restored, the window has the client area of the dpi it is at, buttons and all.
// Whether Windows sends WM_DPICHANGED to a minimised window only real Windows shows.
TEST_F(WindowScaled, DpiChangeWhileMinimisedRestoresAtThatDpi) {
    ASSERT_NO_FATAL_FAILURE(Start());
    RECT frame = {};
    ASSERT_TRUE(GetWindowRect(main_.window, &frame));
    std::string error;
    for (const DpiLayout* to : {&kLayouts[2], &kLayouts[1], &kLayouts[0]}) {
        SCOPED_TRACE("to " + std::to_string(to->dpi) + " dpi");
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_ABORTIFHUNG, 5000, &ignored));
        ASSERT_TRUE(IsIconic(main_.window)) << "the premise: the window is minimised";
        const SIZE exact = FrameFor(main_.window, to->client, to->dpi);
        const RECT suggested = {frame.left, frame.top, frame.left + exact.cx, frame.top + exact.cy};
        ASSERT_TRUE(SendHostileDpiChanged(MAKEWPARAM(to->dpi, to->dpi), suggested, &error)) << error;
        ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, 5000, &ignored));
        ASSERT_FALSE(IsIconic(main_.window)) << "the premise: the window is restored";
        ExpectLayout(*to);
    }
}

}  // namespace
