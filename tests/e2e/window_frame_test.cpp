// Tavro's main window at 96 dpi as it appears: one fixed window with its class, caption, style,
// caption icon and three named buttons, the common controls not loaded before a message box needs
// them, and a window menu without the sizing items.
#include <windows.h>

#include <chrono>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/UniqueResource.h"
#include "support/Capture.h"
#include "support/Input.h"
#include "support/Layout.h"
#include "support/MainWindowFixture.h"
#include "support/Process.h"
#include "support/ReferenceWindow.h"
#include "support/Tavro.h"
#include "support/Text.h"
#include "support/TopWindows.h"
#include "support/Wait.h"
#include "support/WindowMenu.h"

namespace {

using e2e::kPaintBound;
using e2e::Pixels;
using e2e::Utf8;

class WindowFrame : public e2e::MainWindowTest {
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
// push-button proxy names each by its window text. Wine 8 has no such proxy, so here the class and
// the window text are what is checked; what a screen reader reads through Active Accessibility is
// checked in accessibility_test.cpp.
void WindowFrame::ThreeNamedSystemPushButtonsInTabOrder() {
    std::vector<HWND> children;
    for (HWND child = GetWindow(main_.window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    ASSERT_EQ(children.size(), std::size(e2e::kExpectedButtons)) << "child windows of the main window";
    const HWND focus = e2e::WaitForFocus(main_.threadId, children.front());
    for (std::size_t i = 0; i < children.size(); ++i) {
        const e2e::ExpectedButton& want = e2e::kExpectedButtons[i];
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
        EXPECT_EQ(e2e::ToString(e2e::RectInParent(child)), e2e::ToString(e2e::ToRect(want.at96)))
            << "rectangle in the client";
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

bool SamePixels(const Pixels& a, const Pixels& b) {
    return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

// Opens the window menu with Alt+Space and captures it: once accept holds, or, without accept, once
// the picture stays the same over a few captures. Closes it with Escape.
void CaptureWindowMenu(HWND window, Pixels* shown, const Pixels* accept = nullptr) {
    std::string error;
    ASSERT_TRUE(e2e::MoveMouseTo({1020, 760}, &error)) << error;
    ASSERT_TRUE(e2e::OpenWindowMenu(window, &error)) << error;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    HWND menu = nullptr;
    ASSERT_TRUE(e2e::PollUntil([&] { return (menu = e2e::VisibleMenuOf(thread)) != nullptr; }, kPaintBound))
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
    EXPECT_TRUE(e2e::PollUntil([&] { return e2e::VisibleMenuOf(thread) == nullptr; }, kPaintBound))
        << "the window menu stayed open after Escape";
    if (accept == nullptr) {
        ASSERT_TRUE(settled) << "the window menu kept changing for " << kPaintBound.count() << " ms; " << error;
    }
}

// A user opens the window menu with Alt+Space. Wine's menus cannot be read from another process,
// so the menu shown is compared, pixel for pixel, with the one Wine shows for a window of the same
// style whose menu lost exactly Restore, Size, Minimize and Maximize.
TEST_F(WindowFrame, WindowMenuHasNoSizingItems) {
    Pixels full, trimmed, tavro;
    {
        e2e::ReferenceWindow reference(false);
        ASSERT_NE(reference.Get(), nullptr) << "no reference window";
        ASSERT_NO_FATAL_FAILURE(CaptureWindowMenu(reference.Get(), &full));
    }
    {
        e2e::ReferenceWindow reference(true);
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

}  // namespace
