#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "launcher/GateUrl.h"
#include "launcher/Handlers.h"

namespace tavro {
namespace {

using fake::FakePlatform;

constexpr const wchar_t* kDesktop = L"C:\\Users\\hana\\Desktop";
constexpr const wchar_t* kWarning = L"番号を今一度お確かめ下さい。";

void StartFrom(FakePlatform& platform, const std::wstring& folder, const std::wstring& name) {
    platform.desktopFolder = kDesktop;
    platform.programFolder = folder;
    platform.programName = name;
}

// The number warning, and nothing else: no URL, one exclamation box titled "Tavro", then the end.
void ExpectWarnedAndEnded(const FakePlatform& platform) {
    EXPECT_TRUE(platform.openedUrls.empty());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].prompt, kWarning);
    EXPECT_EQ(platform.messages[0].style, MessageStyle::Exclamation);
    EXPECT_EQ(platform.messages[0].title, L"Tavro");
    EXPECT_TRUE(platform.ended);
    EXPECT_EQ(platform.callsAfterEnd, 0);
}

TEST(FormLoad, FromTheDesktopOpensTheSiteAndEnds) {
    FakePlatform platform;
    StartFrom(platform, kDesktop, L"Tavro_007");
    Form_Load(platform);
    ASSERT_EQ(platform.openedUrls.size(), 1u);
    EXPECT_EQ(platform.openedUrls[0], GateUrl() + L"007");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.ended);
    EXPECT_EQ(platform.callsAfterEnd, 0);
}

TEST(FormLoad, FromTheDesktopWithoutANumberOnlyWarns) {
    FakePlatform platform;
    StartFrom(platform, kDesktop, L"Tavro_");
    Form_Load(platform);
    ExpectWarnedAndEnded(platform);
}

TEST(FormLoad, AnywhereElseLeavesTheWindowToTheUser) {
    // Folders a loose comparison would take for the desktop must not count.
    const std::wstring nearMisses[] = {
        L"C:\\Users\\hana\\Downloads",
        L"c:\\users\\hana\\desktop",    // case
        L"C:\\Users\\hana\\Desktop\\",  // trailing separator
        L"C:\\Users\\hana\\DESKTO~1",   // short form
        L"C:\\Users\\hana\\Desktop\\Sub", L"",
    };
    for (const std::wstring& folder : nearMisses) {
        SCOPED_TRACE(::testing::Message() << "folder length " << folder.size());
        FakePlatform platform;
        StartFrom(platform, folder, L"Tavro_12345");
        Form_Load(platform);
        EXPECT_TRUE(platform.openedUrls.empty());
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_FALSE(platform.ended);
    }
}

TEST(FormLoad, WithoutADesktopFolderShowsTheWindow) {
    FakePlatform platform;
    StartFrom(platform, L"", L"Tavro_12345");
    platform.desktopStatus = 1;  // an empty program folder must not match a missing desktop either
    Form_Load(platform);
    EXPECT_TRUE(platform.openedUrls.empty());
    EXPECT_FALSE(platform.ended);
}

TEST(StartUpCommand, OpensExactlyTheLaunchUrlThenEnds) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Tavro_12345", L"12345"},
        {L"a_1_23", L"123"},
        {L"Tavro9x", L"9"},
        {L"Tavro_12 &calc %PATH% ^|", L"12"},
    };
    for (const auto& [name, number] : cases) {
        FakePlatform platform;
        StartFrom(platform, L"C:\\Users\\hana\\Downloads", name);
        StartUpCommand_Click(platform);
        ASSERT_EQ(platform.openedUrls.size(), 1u) << "expected one URL for number " << number;
        EXPECT_EQ(platform.openedUrls[0], GateUrl() + number);
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_TRUE(platform.ended);
        EXPECT_EQ(platform.callsAfterEnd, 0);
    }
}

TEST(StartUpCommand, WarnsInsteadWhenTheNameHoldsNoNumber) {
    for (const wchar_t* name : {L"Tavro_", L"Tavro", L"Tavro_\uFF11\uFF12", L"12_abc"}) {
        FakePlatform platform;
        StartFrom(platform, L"C:\\Users\\hana\\Downloads", name);
        StartUpCommand_Click(platform);
        SCOPED_TRACE(name);
        ExpectWarnedAndEnded(platform);
    }
}

TEST(EndHandlers, CloseAndUnloadEndTheProgramAndNothingElse) {
    for (void (*handler)(Platform&) : {&close_Click, &Form_Unload}) {
        FakePlatform platform;
        handler(platform);
        EXPECT_TRUE(platform.ended);
        EXPECT_TRUE(platform.openedUrls.empty());
        EXPECT_TRUE(platform.copies.empty());
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_EQ(platform.callsAfterEnd, 0);
    }
}

}  // namespace
}  // namespace tavro
