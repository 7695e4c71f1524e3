// Tavro's main window at 96, 120 and 144 dpi: started at each, and told of a change of scale as
// Windows tells it (and as no monitor would), its layout and pictures follow the dpi, and the
// window stays where the mouse can reach its caption.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "support/Capture.h"
#include "support/FrameForDpi.h"
#include "support/MainWindowFixture.h"
#include "support/SharedAddress.h"
#include "support/Tavro.h"
#include "support/Text.h"
#include "support/TopWindows.h"
#include "support/UserSetting.h"
#include "window/WindowDpi.h"

namespace {

using e2e::DpiLayout;
using e2e::kDpiLayouts;
using e2e::Pixels;
using e2e::Rgb;

// At every dpi the window is the 96 dpi window, scaled: twips place the window and its buttons,
// and the pictures grow with them.
class WindowScaled : public e2e::MainWindowTest {
  protected:
    enum class Taken { kWhole, kPlaceOnly };

    // Sends WM_DPICHANGED as Windows would, then checks how much of the suggested rectangle the
    // window took: all of it, or its place.
    void SendDpiChanged(DWORD dpi, const RECT& suggested, Taken taken = Taken::kWhole) {
        const e2e::SharedAddress<RECT> rect(main_.process.Handle(), suggested);
        ASSERT_NE(rect.Pointer(), 0) << rect.Error();
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), rect.Pointer(),
                                        SMTO_ABORTIFHUNG, 5000, &result))
            << "WM_DPICHANGED: " << e2e::DescribeError(GetLastError());
        ASSERT_TRUE(main_.process.IsRunning()) << "Tavro ended on WM_DPICHANGED";
        RECT now = {};
        ASSERT_TRUE(GetWindowRect(main_.window, &now));
        if (taken == Taken::kWhole) {
            EXPECT_EQ(e2e::ToString(now), e2e::ToString(suggested))
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
        e2e::SharedAddress<SIZE> shared(main_.process.Handle(), linear);
        ASSERT_NE(shared.Pointer(), 0) << shared.Error();
        DWORD_PTR handled = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main_.window, tavro::kGetDpiScaledSize, dpi, shared.Pointer(), SMTO_ABORTIFHUNG,
                                        5000, &handled))
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
        const e2e::SharedAddress<RECT> rect(main_.process.Handle(), suggested);
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
        e2e::SharedAddress<SIZE> shared(main_.process.Handle(), SIZE{518, 271});
        if (shared.Pointer() == 0) {
            *error = shared.Error();
            return false;
        }
        if (!SendMessageTimeoutW(main_.window, tavro::kGetDpiScaledSize, wParam, shared.Pointer(), SMTO_ABORTIFHUNG,
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
        ASSERT_NE(monitor, nullptr) << "the window is on no monitor: " << e2e::ToString(frame);
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetMonitorInfoW(monitor, &info));
        const POINT corner = {frame.left, frame.top};
        EXPECT_TRUE(PtInRect(&info.rcWork, corner))
            << "window " << e2e::ToString(frame) << " against the work area " << e2e::ToString(info.rcWork);
    }

    static constexpr UINT kHostileBoundMs = 3000;
};

// This case once checked that the pictures kept their pixel size at 120 dpi: the fault itself.
TEST_F(WindowScaled, LayoutAndPicturesFollowTheDpi) {
    const Rgb back = e2e::FromColorRef(GetSysColor(COLOR_BTNHIGHLIGHT));
    Pixels at96;
    for (const DpiLayout& layout : kDpiLayouts) {
        if (layout.dpi == 96) {
            ASSERT_NO_FATAL_FAILURE(Start());
            ExpectLayout(layout);
            ASSERT_NO_FATAL_FAILURE(ExpectPicturesShown(back, &at96));
            ASSERT_NO_FATAL_FAILURE(ExpectDisabledFaceOfStartUpCommand(back));
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
    const DpiLayout& to = kDpiLayouts[2];
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
    ExpectLayout(kDpiLayouts[0]);
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
    ExpectLayout(kDpiLayouts[1]);
    const DpiLayout& to = kDpiLayouts[2];
    ASSERT_EQ(to.dpi, 144u);

    SIZE asked = {};
    ASSERT_NO_FATAL_FAILURE(SendGetDpiScaledSize(kDpiLayouts[1].dpi, to.dpi, &asked));
    const SIZE exact = e2e::FrameFor(main_.window, to.client, to.dpi);
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
        ExpectLayout(kDpiLayouts[0]);
    }

    const DpiLayout& to = kDpiLayouts[2];
    const SIZE exact = e2e::FrameFor(main_.window, to.client, to.dpi);
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
        ExpectLayout(kDpiLayouts[0]);
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
    for (const e2e::ExpectedButton& want : e2e::kExpectedButtons) {
        SCOPED_TRACE(want.name);
        const RECT button = e2e::RectInParent(Button(want.id));
        RECT inside = {};
        IntersectRect(&inside, &button, &client);
        EXPECT_EQ(e2e::ToString(inside), e2e::ToString(button))
            << "the button against the client area " << e2e::ToString(client);
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
    for (const DpiLayout* to : {&kDpiLayouts[2], &kDpiLayouts[1], &kDpiLayouts[0]}) {
        SCOPED_TRACE("to " + std::to_string(to->dpi) + " dpi");
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_SYSCOMMAND, SC_MINIMIZE, 0, SMTO_ABORTIFHUNG, 5000, &ignored));
        ASSERT_TRUE(IsIconic(main_.window)) << "the premise: the window is minimised";
        const SIZE exact = e2e::FrameFor(main_.window, to->client, to->dpi);
        const RECT suggested = {frame.left, frame.top, frame.left + exact.cx, frame.top + exact.cy};
        ASSERT_TRUE(SendHostileDpiChanged(MAKEWPARAM(to->dpi, to->dpi), suggested, &error)) << error;
        ASSERT_TRUE(SendMessageTimeoutW(main_.window, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, 5000, &ignored));
        ASSERT_FALSE(IsIconic(main_.window)) << "the premise: the window is restored";
        ExpectLayout(*to);
    }
}

}  // namespace
