// The copy command with program and desktop folders whose names are hard for ANSI code: ソ, 表
// and 能 end in byte 0x5C ("\") in Shift-JIS, and "ë"/Greek have no Shift-JIS form at all.
// Run under code pages 1252 and 932.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FileCompare.h"
#include "support/Folders.h"
#include "support/HostShell.h"
#include "support/Layout.h"
#include "support/Tavro.h"
#include "support/Text.h"
#include "support/Wait.h"

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
        e2e::MainWindow main;
        ASSERT_NO_FATAL_FAILURE(e2e::StartMainWindow({program}, &main));
        ASSERT_NO_FATAL_FAILURE(e2e::CopyExpecting(main, e2e::kCopiedBox));
        EXPECT_EQ(e2e::CompareFiles(desktop + L"\\" + desktopName, program), "")
            << "the desktop copy against the running file";
        EXPECT_EQ(e2e::ToString(e2e::NamesIn(desktop)), e2e::ToString(std::vector<std::wstring>{desktopName}))
            << "contents of " << Utf8(desktop);
        ASSERT_NO_FATAL_FAILURE(e2e::CloseAndExpectEnd(main));
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

TEST_F(CopyPaths, ProgramFoldersAndNames) {
    const struct {
        std::wstring folder;
        const wchar_t* fileName;
    } programs[] = {
        {profile_ + L"\\ソフト表示能力\\ダウンロード", L"Tavro_5.exe"},
        {profile_ + L"\\Zoë Ελλάδα\\Downloads", L"Tavro_5.exe"},
        {e2e::DownloadsFolder(), L"表ソ能_44.exe"},
        {e2e::DownloadsFolder(), L"Zoë_Ελλάδα_45.exe"},
    };
    for (const auto& program : programs) {
        SCOPED_TRACE(Utf8(program.folder + L"\\" + program.fileName));
        ASSERT_NO_FATAL_FAILURE(ExpectCopyLands(program.folder, program.fileName, desktop_, program.fileName));
        std::string error;
        ASSERT_TRUE(e2e::DeleteWhenFree(desktop_ + L"\\" + program.fileName, &error)) << error;
    }
}

TEST_F(CopyPaths, DesktopFolders) {
    for (const wchar_t* folder : {L"\\ソフト表示能力\\デスクトップ", L"\\Zoë Ελλάδα\\Desktop"}) {
        SCOPED_TRACE(Utf8(folder));
        ASSERT_NO_FATAL_FAILURE(ExpectCopyLandsOnDesktopAt(profile_ + folder));
    }
}

// Desktops that are the root of something: a mapped drive, a network share. Wine maps a drive
// letter through a link in the prefix's dosdevices folder, and \\server\share through
// dosdevices/unc/server/share; the cases make both point into the profile.
class CopyToRoots : public CopyPaths {
  protected:
    // Makes device (a path under dosdevices: "s:" or "unc/srv/share") name folder, which it creates.
    void MapToFolder(const std::wstring& device, const std::wstring& folder) {
        ASSERT_TRUE(e2e::CreateFolderTree(folder)) << "cannot create " << Utf8(folder);
        const std::wstring target = e2e::UnixPathOf(folder);
        ASSERT_FALSE(target.empty()) << "no Unix path for " << Utf8(folder);
        const std::wstring done = profile_ + L"\\mapped-" + std::to_wstring(++mapped_);
        // The prefix's own path comes from the environment Wine passes on to the script.
        const std::wstring devices = L"$WINEPREFIX/dosdevices/";
        const std::size_t slash = device.rfind(L'/');
        const std::wstring parent = devices + (slash == std::wstring::npos ? L"" : device.substr(0, slash));
        const std::wstring profile = e2e::ShellQuoted(e2e::UnixPathOf(profile_));
        const std::wstring script = L"mkdir -p " + parent + L" && ln -sfn " + e2e::ShellQuoted(target) + L" " +
                                    devices + device + L"; echo $? >" + profile + L"/done.tmp; mv " + profile +
                                    L"/done.tmp " + e2e::ShellQuoted(e2e::UnixPathOf(done));
        std::string error;
        ASSERT_TRUE(e2e::StartShellScript(script, &error)) << error;
        ASSERT_TRUE(e2e::PollUntil([&] { return e2e::FileExists(done); }, e2e::kEndBound))
            << "linking " << Utf8(device) << " did not finish within " << e2e::kEndBound.count() << " ms";
        ASSERT_EQ(e2e::ReadWholeFile(done, &error).value_or(error), "0\n") << "exit status of linking " << Utf8(device);
        DeleteFileW(done.c_str());
    }

    int mapped_ = 0;
};

// The temporary copy once had the destination's name with ".<pid>.partial" added: past 255
// characters for a program name of 244, so such a program could not be copied at all.
TEST_F(CopyToRoots, LongProgramNamesOntoADriveRootDesktop) {
    ASSERT_NO_FATAL_FAILURE(MapToFolder(L"s:", profile_ + L"\\Mapped Desktop"));
    ASSERT_NO_FATAL_FAILURE(MapToFolder(L"t:", profile_ + L"\\Mapped Downloads"));
    e2e::DesktopRedirect redirect(L"S:\\");
    ASSERT_TRUE(redirect.Applied()) << redirect.Error();
    ASSERT_EQ(Utf8(e2e::DesktopFolder()), "S:\\") << "desktop folder as the shell reports it";
    // 244 characters, as the fault was found; 255, the longest a file name may be.
    for (const std::size_t length : {244u, 255u}) {
        const std::wstring name = L"Tavro_" + std::wstring(length - 10, L'7') + L".exe";
        SCOPED_TRACE("a name of " + std::to_string(name.size()) + " characters");
        const std::wstring plain = L"S:\\" + name;
        std::string error;
        ASSERT_TRUE(CopyFileW(e2e::layout::kTavro, plain.c_str(), FALSE))
            << "the premise: a plain CopyFileW of that name onto the desktop works; "
            << e2e::DescribeError(GetLastError());
        ASSERT_TRUE(e2e::DeleteWhenFree(plain, &error)) << error;
        ASSERT_NO_FATAL_FAILURE(ExpectCopyLands(L"T:", name, L"S:", name));
        DeleteFileW(plain.c_str());
        DeleteFileW((L"T:\\" + name).c_str());
    }
}

// Joined with a doubled separator, a desktop at the root of a share names "\\srv\share\\x.exe",
// which Wine rejects (error 123); a drive root must go on working.
TEST_F(CopyToRoots, DesktopAtTheRootOfAShareOrADrive) {
    const std::wstring shareFolder = profile_ + L"\\Share";
    const std::wstring driveFolder = profile_ + L"\\Mapped Desktop";
    ASSERT_NO_FATAL_FAILURE(MapToFolder(L"unc/srv/share", shareFolder));
    ASSERT_NO_FATAL_FAILURE(MapToFolder(L"s:", driveFolder));
    struct Row {
        const wchar_t* desktop;  // as the shell reports it
        const wchar_t* listed;   // the same folder, spelled for listing it
        const std::wstring* folder;
    };
    const Row rows[] = {
        {L"\\\\srv\\share", L"\\\\srv\\share", &shareFolder},
        {L"\\\\srv\\share\\", L"\\\\srv\\share", &shareFolder},
        {L"S:\\", L"S:", &driveFolder},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("desktop " + Utf8(row.desktop));
        e2e::DesktopRedirect redirect(row.desktop);
        ASSERT_TRUE(redirect.Applied()) << redirect.Error();
        ASSERT_EQ(Utf8(e2e::DesktopFolder()), Utf8(row.desktop)) << "desktop folder as the shell reports it";
        const std::wstring single = std::wstring(row.listed) + L"\\Tavro_1.exe";
        std::string error;
        ASSERT_TRUE(CopyFileW(e2e::layout::kTavro, single.c_str(), FALSE))
            << "the premise: a plain CopyFileW to " << Utf8(single) << " works; " << e2e::DescribeError(GetLastError());
        ASSERT_TRUE(e2e::DeleteWhenFree(single, &error)) << error;
        if (row.listed[0] == L'\\') {
            const std::wstring doubled = std::wstring(row.listed) + L"\\\\Tavro_1.exe";
            SetLastError(0);
            EXPECT_FALSE(CopyFileW(e2e::layout::kTavro, doubled.c_str(), FALSE))
                << "the premise: Wine refuses " << Utf8(doubled) << "; the copy landed";
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME))
                << "expected ERROR_INVALID_NAME; got " << e2e::DescribeError(GetLastError());
            DeleteFileW(single.c_str());
        }
        ASSERT_NO_FATAL_FAILURE(ExpectCopyLands(e2e::DownloadsFolder(), L"Tavro_1.exe", row.listed, L"Tavro_1.exe"));
        EXPECT_EQ(e2e::CompareFiles(*row.folder + L"\\Tavro_1.exe", e2e::layout::kTavro), "")
            << "the copy, seen in the folder the desktop maps to";
        DeleteFileW(single.c_str());
    }
}

}  // namespace
