#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "launcher/Handlers.h"

namespace tavro {
namespace {

using fake::FakePlatform;

constexpr const wchar_t* kCopied = L"デスクトップにコピーしました。";
constexpr const wchar_t* kCopyFailed = L"デスクトップにコピーできませんでした。";

TEST(CopyCommand, CopiesTheProgramUnderItsOwnNameAndSaysSo) {
    FakePlatform platform;
    platform.programFolder = L"C:\\Users\\hana\\Downloads";
    platform.programName = L"Tavro_12345";
    platform.desktopFolder = L"C:\\Users\\hana\\Desktop";

    CopyCommand_Click(platform);

    ASSERT_EQ(platform.copies.size(), 1u);
    EXPECT_EQ(platform.copies[0].source, L"C:\\Users\\hana\\Downloads\\\\Tavro_12345.exe");
    EXPECT_EQ(platform.copies[0].destination, L"C:\\Users\\hana\\Desktop\\\\Tavro_12345.exe");
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

TEST(CopyCommand, AlwaysNamesTheCopyDotExe) {
    // Whatever the running file's real extension, both paths end in ".exe"; a file that
    // does not then exist makes the copy fail, which the user is told.
    FakePlatform platform;
    platform.programName = L"Tavro_5.v2";
    CopyCommand_Click(platform);
    ASSERT_EQ(platform.copies.size(), 1u);
    EXPECT_EQ(platform.copies[0].source, L"C:\\Users\\hana\\Downloads\\\\Tavro_5.v2.exe");
    EXPECT_EQ(platform.copies[0].destination, L"C:\\Users\\hana\\Desktop\\\\Tavro_5.v2.exe");
}

TEST(CopyCommand, FromADriveRootOrWithoutADesktop) {
    FakePlatform platform;
    platform.programFolder = L"E:\\";
    platform.desktopStatus = 1;
    platform.copySucceeds = false;  // what Windows does with a path that starts "\\\\"
    CopyCommand_Click(platform);
    ASSERT_EQ(platform.copies.size(), 1u);
    EXPECT_EQ(platform.copies[0].source, L"E:\\\\\\Tavro_12345.exe");
    EXPECT_EQ(platform.copies[0].destination, L"\\\\Tavro_12345.exe");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].prompt, kCopyFailed);
}

}  // namespace
}  // namespace tavro
