// What a screen reader hears: every word the window's pictures show reaches Microsoft Active
// Accessibility, the interface NVDA, JAWS, Narrator and UI Automation's MSAA bridge read Win32
// windows through, as each object's name and description.
#include <windows.h>

#include <oleacc.h>

#include <iostream>
#include <string>

#include <gtest/gtest.h>

#include "support/ScreenReader.h"
#include "support/Tavro.h"
#include "support/Text.h"
#include "support/TopWindows.h"
#include "window/Descriptions.h"
#include "window/FormLayout.h"

namespace {

using e2e::Utf8;

// The button's window text, which a push button's accessible object gives as its name.
std::wstring ButtonText(int id) {
    for (const tavro::ButtonDefinition& button : tavro::kButtons) {
        if (button.id == id) {
            return button.text;
        }
    }
    return L"(no button " + std::to_wstring(id) + L")";
}

struct Expected {
    const char* object;
    HWND e2e::MainWindow::*window;
    int buttonId;  // 0: the form's own client area
    const tavro::PictureSentence& description;
    bool focused;
};

const Expected kObjects[] = {
    {"TavroForm's client", &e2e::MainWindow::window, 0, tavro::kFormDescription, false},
    {"CopyCommand", &e2e::MainWindow::copy, e2e::kCopyCommandId, tavro::kCopyCommandDescription, true},
    {"StartUpCommand", &e2e::MainWindow::startUp, e2e::kStartUpCommandId, tavro::kStartUpCommandDescription, false},
    {"close", &e2e::MainWindow::close, e2e::kCloseId, tavro::kCloseDescription, false},
};

RECT ClientOnScreen(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// One start: the client object of the window and of each child window, asked one by one as a
// screen reader walks them. Under Wine 8 a button reports the role of a plain client (10): Wine
// has no push-button proxy, which Windows' oleacc has (role 43, default action "Press").
TEST(Accessibility, ScreenReaderHearsEveryWord) {
    e2e::MainWindow main;
    ASSERT_NO_FATAL_FAILURE(e2e::StartFromDownloads(L"Tavro_25.exe", &main));
    ASSERT_EQ(e2e::WaitForFocus(main.threadId, main.copy), main.copy) << "CopyCommand should have the focus";

    for (const Expected& expected : kObjects) {
        SCOPED_TRACE(expected.object);
        const HWND window = main.*expected.window;
        const e2e::AccessibleFacts facts = e2e::ReadClientObject(window);
        std::cout << "oleacc, " << expected.object << ": " << e2e::ToString(facts) << std::endl;
        ASSERT_EQ(facts.error, "");
        const bool button = expected.buttonId != 0;
        EXPECT_EQ(Utf8(facts.name), Utf8(button ? ButtonText(expected.buttonId) : tavro::kFormCaption));
        EXPECT_EQ(Utf8(facts.description), Utf8(expected.description.Joined()));
        if (button) {
            EXPECT_TRUE(facts.role == ROLE_SYSTEM_PUSHBUTTON || facts.role == ROLE_SYSTEM_CLIENT)
                << "role " << facts.role;
            EXPECT_NE(facts.state & STATE_SYSTEM_FOCUSABLE, 0) << "state 0x" << std::hex << facts.state;
            EXPECT_EQ((facts.state & STATE_SYSTEM_FOCUSED) != 0, expected.focused)
                << "state 0x" << std::hex << facts.state;
            RECT onScreen{};
            GetWindowRect(window, &onScreen);
            EXPECT_EQ(e2e::ToString(facts.location), e2e::ToString(onScreen)) << "location against the button's window";
        } else {
            EXPECT_EQ(facts.role, ROLE_SYSTEM_CLIENT);
            EXPECT_EQ(e2e::ToString(facts.location), e2e::ToString(ClientOnScreen(window)))
                << "location against the client area";
        }
    }
    // Asking changed nothing the user sees or does.
    ASSERT_NO_FATAL_FAILURE(e2e::ExpectStillWaiting(main, "the screen reader's questions"));
    ASSERT_NO_FATAL_FAILURE(e2e::CloseAndExpectEnd(main));
}

}  // namespace
