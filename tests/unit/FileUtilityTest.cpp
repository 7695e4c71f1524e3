#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "launcher/modFileUtility.h"

namespace tavro {
namespace {

using fake::FakePlatform;

TEST(GetDesktopPath, ReturnsTheFolderExactlyAsReported) {
    FakePlatform platform;
    for (const std::wstring folder : {L"C:\\Users\\hana\\Desktop", L"C:\\", L"D:\\Users\\\u8868\u30BD\\Desktop\\",
                                      L"c:\\users\\Zo\u00EB\\desktop"}) {
        platform.desktopFolder = folder;
        EXPECT_EQ(GetDesktopPath(platform), folder);
    }
}

TEST(GetDesktopPath, ReturnsEmptyWhenTheSystemHasNoDesktop) {
    FakePlatform platform;
    for (const long status : {1L, -1L, static_cast<long>(0x80070002L & 0x7FFFFFFF)}) {
        platform.desktopStatus = status;
        EXPECT_EQ(GetDesktopPath(platform), L"") << "status " << status;
    }
}

TEST(GetDesktopPath, KeepsTheLongestPathThatFitsTheBuffer) {
    FakePlatform platform;
    platform.desktopFolder = L"C:\\" + std::wstring(kMaxPath - 4, L'd');
    ASSERT_EQ(platform.desktopFolder.size(), kMaxPath - 1);
    EXPECT_EQ(GetDesktopPath(platform), platform.desktopFolder);
}

TEST(GetDesktopPath, RejectsABufferWithoutTerminator) {
    FakePlatform platform;
    platform.desktopTerminated = false;
    EXPECT_EQ(GetDesktopPath(platform), L"");
}

TEST(GetDesktopPath, AsksTheSystemEveryTime) {
    FakePlatform platform;
    const std::wstring first = GetDesktopPath(platform);
    platform.desktopFolder = L"E:\\Moved\\Desktop";
    EXPECT_EQ(GetDesktopPath(platform), L"E:\\Moved\\Desktop");
    EXPECT_NE(first, L"E:\\Moved\\Desktop");
    EXPECT_EQ(platform.desktopQueries, 2);
}

TEST(CopyFileOverwrite, ReportsWhatTheSystemDid) {
    FakePlatform platform;
    for (const bool succeeds : {true, false}) {
        platform.copySucceeds = succeeds;
        const std::wstring source = L"C:\\a\\\\Tavro_1.exe";
        const std::wstring destination = L"C:\\b\\\\Tavro_1.exe";
        EXPECT_EQ(CopyFileOverwrite(platform, source, destination), succeeds);
        ASSERT_FALSE(platform.copies.empty());
        EXPECT_EQ(platform.copies.back().source, source);
        EXPECT_EQ(platform.copies.back().destination, destination);
    }
}

}  // namespace
}  // namespace tavro
