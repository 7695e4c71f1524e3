#include <gtest/gtest.h>

#include <utility>

#include "FakePlatform.h"
#include "launcher/Handlers.h"

namespace tavro {
namespace {

using fake::FakePlatform;

constexpr const wchar_t* kCopied = L"デスクトップにコピーしました。";
constexpr const wchar_t* kCopyFailed = L"デスクトップにコピーできませんでした。";

TEST(CopyCommand, CopiesTheRunningFileUnderItsOwnNameAndSaysSo) {
    FakePlatform platform;
    platform.programFolder = L"C:\\Users\\hana\\Downloads";
    platform.programName = L"Tavro_12345";
    platform.desktopFolder = L"C:\\Users\\hana\\Desktop";

    CopyCommand_Click(platform);

    ASSERT_EQ(platform.copies.size(), 1u);
    EXPECT_EQ(platform.copies[0].source, L"C:\\Users\\hana\\Downloads\\Tavro_12345.exe");
    EXPECT_EQ(platform.copies[0].destination, L"C:\\Users\\hana\\Desktop\\Tavro_12345.exe");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].prompt, kCopied);
    EXPECT_EQ(platform.messages[0].style, MessageStyle::Plain);
    EXPECT_EQ(platform.messages[0].title, L"Tavro");
    EXPECT_FALSE(platform.ended);
    EXPECT_TRUE(platform.openedUrls.empty());
}

TEST(CopyCommand, ReportsAFailedCopyAndKeepsTheWindow) {
    FakePlatform platform;
    platform.copySucceeds = false;
    CopyCommand_Click(platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].prompt, kCopyFailed);
    EXPECT_EQ(platform.messages[0].style, MessageStyle::Plain);
    EXPECT_EQ(platform.messages[0].title, L"Tavro");
    EXPECT_FALSE(platform.ended);
}

TEST(CopyCommand, CanBeUsedAgainAndAgain) {
    FakePlatform platform;
    CopyCommand_Click(platform);
    CopyCommand_Click(platform);
    ASSERT_EQ(platform.copies.size(), 2u);
    EXPECT_EQ(platform.copies[0].destination, platform.copies[1].destination);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].prompt, kCopied);
}

// The window keeps handling messages while the copy runs and while its answer is up, so a key,
// a BM_CLICK or a WM_COMMAND can reach the handler from inside itself. Such a click starts no
// second copy and shows no second answer; once the handler is done, the next click copies again.
TEST(CopyCommand, AClickWhileItRunsDoesNothing) {
    FakePlatform platform;
    // The user's presses come once, during the first copy and the first answer.
    bool pressedDuringCopy = false;
    bool pressedDuringMessage = false;
    platform.duringCopy = [&] {
        if (!std::exchange(pressedDuringCopy, true)) {
            CopyCommand_Click(platform);
            CopyCommand_Click(platform);
        }
    };
    platform.duringMessage = [&] {
        if (!std::exchange(pressedDuringMessage, true)) {
            CopyCommand_Click(platform);
        }
    };

    CopyCommand_Click(platform);
    ASSERT_TRUE(pressedDuringCopy) << "the fake's copy did not run";
    ASSERT_TRUE(pressedDuringMessage) << "the fake's message did not show";
    EXPECT_EQ(platform.copies.size(), 1u) << "copies started by one press and three during it";
    ASSERT_EQ(platform.messages.size(), 1u) << "answers to one press and three during it";
    EXPECT_EQ(platform.messages[0].prompt, kCopied);

    platform.copySucceeds = false;
    CopyCommand_Click(platform);
    EXPECT_EQ(platform.copies.size(), 2u) << "the next press after the first was done";
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].prompt, kCopyFailed);
}

// Only a running file whose own extension is ".exe" is copied, and always under "<name>.exe".
// Under any other extension "<name>.exe" beside it would be some other file: nothing is copied.
TEST(CopyCommand, CopiesOnlyARunningFileNamedDotExe) {
    struct Case {
        const wchar_t* name;
        const wchar_t* extension;
        const wchar_t* copiedAs;  // null: no copy, the failure message
    };
    const Case cases[] = {
        {L"Tavro_5", L".exe", L"Tavro_5.exe"}, {L"Tavro_5", L".EXE", L"Tavro_5.exe"},
        {L"Tavro_5", L".eXe", L"Tavro_5.exe"}, {L"Tavro_5.v2", L".exe", L"Tavro_5.v2.exe"},
        {L"Tavro_5", L".scr", nullptr},        {L"Tavro_5", L"", nullptr},
        {L"Tavro_5.exe", L".bak", nullptr},    {L"Tavro_5", L".ex", nullptr},
        {L"Tavro_5", L".exe ", nullptr},       {L"Tavro_5", L".\uFF45\uFF58\uFF45", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.name) + c.extension));
        FakePlatform platform;
        platform.programName = c.name;
        platform.programExtension = c.extension;
        CopyCommand_Click(platform);
        if (c.copiedAs != nullptr) {
            ASSERT_EQ(platform.copies.size(), 1u);
            EXPECT_EQ(platform.copies[0].source, platform.ProgramPath());
            EXPECT_EQ(platform.copies[0].destination, std::wstring(L"C:\\Users\\hana\\Desktop\\") + c.copiedAs);
        } else {
            EXPECT_EQ(platform.copies.size(), 0u) << "no file may be touched";
        }
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].prompt, c.copiedAs != nullptr ? kCopied : kCopyFailed);
    }
}

TEST(CopyCommand, JoinsEachKindOfDesktopFolderWithOneSeparator) {
    struct Case {
        const wchar_t* desktop;
        const wchar_t* destination;
    };
    const Case cases[] = {
        {L"D:\\", L"D:\\Tavro_12345.exe"},
        {L"\\\\srv\\share", L"\\\\srv\\share\\Tavro_12345.exe"},
        {L"\\\\srv\\share\\", L"\\\\srv\\share\\Tavro_12345.exe"},
        {L"C:\\Users\\hana\\Desktop", L"C:\\Users\\hana\\Desktop\\Tavro_12345.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.desktop)));
        FakePlatform platform;
        platform.programFolder = L"E:\\";
        platform.desktopFolder = c.desktop;
        CopyCommand_Click(platform);
        ASSERT_EQ(platform.copies.size(), 1u);
        EXPECT_EQ(platform.copies[0].source, L"E:\\Tavro_12345.exe");
        EXPECT_EQ(platform.copies[0].destination, c.destination);
    }
}

// "" joined with the name would be "\Tavro_12345.exe": the root of the current drive.
TEST(CopyCommand, WithoutADesktopCopiesNothing) {
    FakePlatform platform;
    platform.desktopStatus = 1;
    CopyCommand_Click(platform);
    EXPECT_EQ(platform.copies.size(), 0u);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].prompt, kCopyFailed);
}

TEST(CopyCommand, EndedWhileTheCopyRunsSaysNothing) {
    FakePlatform platform;
    platform.endedDuringCopy = true;
    CopyCommand_Click(platform);
    EXPECT_EQ(platform.copies.size(), 1u);
    EXPECT_TRUE(platform.ended);
    EXPECT_TRUE(platform.messages.empty())
        << "first message: "
        << ::testing::PrintToString(platform.messages.empty() ? std::wstring() : platform.messages[0].prompt);
    EXPECT_EQ(platform.callsAfterEnd, 0);
}

}  // namespace
}  // namespace tavro
