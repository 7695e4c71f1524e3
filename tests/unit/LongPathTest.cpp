#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "platform/LongPath.h"

namespace tavro {
namespace {

// start, then a folder name of デ, for a path exactly length characters long.
std::wstring FolderOfLength(const std::wstring& start, std::size_t length) {
    std::wstring folder = start;
    folder.resize(std::max(length, start.size()), L'デ');
    return folder.substr(0, length);
}

TEST(LongPath, ShortPathsStayAsTheyAre) {
    const std::wstring limit = FolderOfLength(L"C:\\Users\\hana\\", 259);  // 259 + terminator = MAX_PATH
    for (const std::wstring& path : {std::wstring(L"C:\\Users\\hana\\Desktop\\Tavro_5.exe"),
                                     std::wstring(L"\\\\server\\users\\hana\\Desktop\\Tavro_5.exe"), limit}) {
        EXPECT_EQ(ExtendedLengthPath(path), path);
    }
}

TEST(LongPath, LongPathsTakeTheExtendedForm) {
    const std::wstring drive = FolderOfLength(L"C:\\Users\\hana\\", 260);
    EXPECT_EQ(ExtendedLengthPath(drive), L"\\\\?\\" + drive);
    const std::wstring lower = FolderOfLength(L"d:\\デスクトップ\\", 300);
    EXPECT_EQ(ExtendedLengthPath(lower), L"\\\\?\\" + lower);
    const std::wstring share = FolderOfLength(L"\\\\server\\users\\hana\\", 300);
    EXPECT_EQ(ExtendedLengthPath(share), L"\\\\?\\UNC\\" + share.substr(2));
    // The extended form is not cleaned up by the system: no forward slash may stay in it.
    std::wstring slashed = FolderOfLength(L"C:/Users/hana/", 280);
    EXPECT_EQ(ExtendedLengthPath(slashed).substr(0, 18), L"\\\\?\\C:\\Users\\hana\\");
    EXPECT_EQ(ExtendedLengthPath(slashed).find(L'/'), std::wstring::npos) << "a forward slash left";
}

TEST(LongPath, PathsThatCannotOrNeedNotTakeItStay) {
    const std::wstring tail = FolderOfLength(L"", 280).substr(1);
    for (const std::wstring& path : {L"\\\\?\\C:\\" + tail, L"\\\\?\\UNC\\server\\share\\" + tail,
                                     L"\\\\.\\pipe\\" + tail, L"relative\\" + tail, L"C:" + tail}) {
        EXPECT_EQ(ExtendedLengthPath(path), path);
    }
}

TEST(LongPath, CopyPathsAreBuiltEachOnItsOwnLength) {
    // A desktop on OneDrive with Japanese folder names, and a long download name.
    const std::wstring desktop = FolderOfLength(L"C:\\Users\\hana\\OneDrive - 株式会社\\", 230) + L"\\";
    const std::wstring longName = desktop + L"Tavro_12345 - コピー (2) - コピー (3) - Copy (4) - Copy.exe";
    ASSERT_GE(longName.size(), 260u);
    const std::optional<CopyPaths> paths = PathsForCopy(longName, L"~Tavro4294967295.tmp");
    ASSERT_TRUE(paths.has_value());
    EXPECT_EQ(paths->folder, desktop);
    EXPECT_EQ(paths->destination, L"\\\\?\\" + longName);
    // 231 + 20 characters: below the limit, so the temporary keeps the plain form.
    EXPECT_EQ(paths->temporary, desktop + L"~Tavro4294967295.tmp");

    const std::wstring deeper = FolderOfLength(desktop + L"x", 250) + L"\\";
    const std::optional<CopyPaths> both = PathsForCopy(deeper + L"Tavro_5.exe", L"~Tavro1234.tmp");
    ASSERT_TRUE(both.has_value());
    EXPECT_EQ(both->destination, L"\\\\?\\" + deeper + L"Tavro_5.exe");
    EXPECT_EQ(both->temporary, L"\\\\?\\" + deeper + L"~Tavro1234.tmp");

    const std::wstring share = L"\\\\server\\users\\" + FolderOfLength(L"", 250) + L"\\";
    const std::optional<CopyPaths> onShare = PathsForCopy(share + L"Tavro_5.exe", L"~Tavro1234.tmp");
    ASSERT_TRUE(onShare.has_value());
    EXPECT_EQ(onShare->destination, L"\\\\?\\UNC\\" + share.substr(2) + L"Tavro_5.exe");
    EXPECT_EQ(onShare->temporary, L"\\\\?\\UNC\\" + share.substr(2) + L"~Tavro1234.tmp");

    EXPECT_FALSE(PathsForCopy(L"Tavro_5.exe", L"~Tavro1234.tmp").has_value()) << "a destination without a folder";
}

}  // namespace
}  // namespace tavro
