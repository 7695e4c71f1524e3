#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "launcher/modFileUtility.h"

namespace tavro {
namespace {

using fake::FakePlatform;

// One platform for every folder: an answer kept from an earlier call would show.
TEST(GetDesktopPath, ReturnsTheFolderExactlyAsReportedEachTime) {
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

}  // namespace
}  // namespace tavro
