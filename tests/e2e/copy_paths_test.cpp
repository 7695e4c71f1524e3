// The copy command with program and desktop folders whose names are hard for ANSI code: ソ, 表
// and 能 end in byte 0x5C ("\") in Shift-JIS, and "ë"/Greek have no Shift-JIS form at all.
// Run under code pages 1252 and 932.
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/CommandSteps.h"
#include "support/FileCompare.h"
#include "support/Folders.h"
#include "support/Process.h"
#include "support/Text.h"

namespace {

using e2e::Utf8;

class CopyPaths : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t expected[16] = {};
        if (GetEnvironmentVariableW(L"TAVRO_E2E_EXPECT_ACP", expected, 16) > 0) {
            ASSERT_EQ(GetACP(), std::wcstoul(expected, nullptr, 10)) << "ANSI code page of this run";
        }
        desktop_ = e2e::DesktopFolder();
        ASSERT_FALSE(desktop_.empty()) << "SHGetFolderPathW(CSIDL_DESKTOP) failed";
        profile_ = e2e::UserProfileFolder();
        ASSERT_FALSE(profile_.empty()) << "no user profile folder";
    }

    // Starts Tavro as folder\fileName, copies it through the window and checks that
    // desktop\desktopName holds exactly the running file and is the only thing there.
    void ExpectCopyLands(const std::wstring& folder,
                         const std::wstring& fileName,
                         const std::wstring& desktop,
                         const std::wstring& desktopName) {
        std::string error;
        const std::wstring program = e2e::InstallTavro(folder, fileName, &error);
        ASSERT_FALSE(program.empty()) << error;
        e2e::StartedProcess process;
        HWND window = nullptr;
        ASSERT_NO_FATAL_FAILURE(e2e::command::StartWithWindow({program}, &process, &window));
        ASSERT_NO_FATAL_FAILURE(e2e::command::CopyExpecting(process.Id(), window, e2e::command::kCopiedText));
        EXPECT_EQ(e2e::CompareFiles(desktop + L"\\" + desktopName, program), "")
            << "the desktop copy against the running file";
        EXPECT_EQ(e2e::ToString(e2e::NamesIn(desktop)), e2e::ToString(std::vector<std::wstring>{desktopName}))
            << "contents of " << Utf8(desktop);
        ASSERT_NO_FATAL_FAILURE(e2e::command::ClickCommand(window, e2e::command::kClose));
        const std::optional<DWORD> exitCode = process.WaitForExit(e2e::command::kCloseBound);
        ASSERT_TRUE(exitCode.has_value()) << "the program did not end after the close click";
        EXPECT_EQ(*exitCode, 0u) << "exit code";
    }

    // Moves the desktop to folder (checking the shell reports it) and copies from Downloads.
    void ExpectCopyLandsOnDesktopAt(const std::wstring& folder) {
        ASSERT_TRUE(e2e::CreateFolderTree(folder)) << "cannot create " << Utf8(folder);
        e2e::DesktopRedirect redirect(folder);
        ASSERT_TRUE(redirect.Applied()) << redirect.Error();
        ASSERT_EQ(Utf8(e2e::DesktopFolder()), Utf8(folder)) << "desktop folder as the shell reports it";
        ASSERT_NO_FATAL_FAILURE(ExpectCopyLands(e2e::DownloadsFolder(), L"Tavro_5.exe", folder, L"Tavro_5.exe"));
        EXPECT_EQ(e2e::ToString(e2e::NamesIn(desktop_)), e2e::ToString(std::vector<std::wstring>{}))
            << "the previous desktop's contents";
    }

    std::wstring desktop_;
    std::wstring profile_;
};

TEST_F(CopyPaths, JapaneseProgramFolderWithBackslashTrailBytes) {
    ExpectCopyLands(profile_ + L"\\ソフト表示能力\\ダウンロード", L"Tavro_5.exe", desktop_, L"Tavro_5.exe");
}

TEST_F(CopyPaths, ProgramFolderOutsideCodePage932) {
    ExpectCopyLands(profile_ + L"\\Zoë Ελλάδα\\Downloads", L"Tavro_5.exe", desktop_, L"Tavro_5.exe");
}

TEST_F(CopyPaths, JapaneseProgramName) {
    ExpectCopyLands(e2e::DownloadsFolder(), L"表ソ能_44.exe", desktop_, L"表ソ能_44.exe");
}

TEST_F(CopyPaths, ProgramNameOutsideCodePage932) {
    ExpectCopyLands(e2e::DownloadsFolder(), L"Zoë_Ελλάδα_45.exe", desktop_, L"Zoë_Ελλάδα_45.exe");
}

TEST_F(CopyPaths, DesktopInJapaneseFolderWithBackslashTrailBytes) {
    ExpectCopyLandsOnDesktopAt(profile_ + L"\\ソフト表示能力\\デスクトップ");
}

TEST_F(CopyPaths, DesktopOutsideCodePage932) {
    ExpectCopyLandsOnDesktopAt(profile_ + L"\\Zoë Ελλάδα\\Desktop");
}

}  // namespace
