// Starting Tavro.exe the way a user does: a copy on the desktop opens the ordering site for the
// number in its file name; anywhere else it shows its window.
#include <windows.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "support/Folders.h"
#include "support/Layout.h"
#include "support/Probe.h"
#include "support/Tavro.h"
#include "support/Text.h"
#include "support/UrlLog.h"

namespace {

using e2e::Utf8;

class DesktopLaunch : public testing::Test {
  protected:
    void SetUp() override {
        e2e::ClearReceivedUrls();
        desktop_ = e2e::DesktopFolder();
        ASSERT_FALSE(desktop_.empty()) << "SHGetFolderPathW(CSIDL_DESKTOP) failed";
    }

    // Copies Tavro.exe onto the desktop as fileName and returns how a double-click starts it.
    e2e::LaunchOptions OnDesktop(const std::wstring& fileName) {
        std::string error;
        const std::wstring path = e2e::InstallTavro(desktop_, fileName, &error);
        EXPECT_FALSE(path.empty()) << error;
        return {path};
    }

    std::wstring desktop_;
};

// The road from file name to URL, several names in one prefix; the rules themselves are the unit
// table's (FileNumberTest). Each copy is started as a double-click would start it, so its name
// reaches the program through the command line, where a shell would act on "&", "%" and "^".
TEST_F(DesktopLaunch, FileNameToLaunchUrl) {
    const struct {
        const wchar_t* fileName;
        const wchar_t* number;  // nullptr: the number warning
    } starts[] = {
        {L"Tavro_007.exe", L"007"},
        // A second download of the same file, as Chrome and Edge name it: the copy number is not
        // part of the customer's number.
        {L"Tavro_12345 (1).exe", L"12345"},
        {L"Tavro_%PATH%34%.exe", L"34"},
        {L"Tavro_5^6'(7) & x.exe", L"567"},
        // Full-width digits, which an ANSI conversion could turn into ASCII ones.
        {L"Tavro_\uFF11\uFF12\uFF13.exe", nullptr},
    };
    for (const auto& start : starts) {
        SCOPED_TRACE(Utf8(start.fileName));
        e2e::ClearReceivedUrls();
        const e2e::LaunchOptions options = OnDesktop(start.fileName);
        ASSERT_FALSE(options.program.empty());
        if (start.number != nullptr) {
            EXPECT_NO_FATAL_FAILURE(e2e::ExpectSiteOpened(options, start.number));
        } else {
            EXPECT_NO_FATAL_FAILURE(e2e::ExpectNumberWarning(options));
        }
    }
}

// Desktop folders whose names are hard for ANSI code: ソ, 表 and 能 end in byte 0x5C ("\") in
// Shift-JIS, and "ë"/Greek have no Shift-JIS form at all. Run under code pages 1252 and 932.
class DesktopPaths : public DesktopLaunch {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DesktopLaunch::SetUp());
        wchar_t expected[16] = {};
        if (GetEnvironmentVariableW(L"TAVRO_E2E_EXPECT_ACP", expected, 16) > 0) {
            ASSERT_EQ(GetACP(), std::wcstoul(expected, nullptr, 10)) << "ANSI code page of this run";
        }
    }

    // Moves the desktop to folder, checks the shell reports it, and starts a copy from there.
    void ExpectSiteOpenedFromDesktopAt(const std::wstring& folder,
                                       const std::wstring& fileName,
                                       const std::wstring& number) {
        ASSERT_TRUE(e2e::CreateFolderTree(folder)) << "cannot create " << Utf8(folder);
        e2e::DesktopRedirect redirect(folder);
        ASSERT_TRUE(redirect.Applied()) << redirect.Error();
        ASSERT_EQ(Utf8(e2e::DesktopFolder()), Utf8(folder)) << "desktop folder as the shell reports it";
        std::string error;
        const std::wstring path = e2e::InstallTavro(folder, fileName, &error);
        ASSERT_FALSE(path.empty()) << error;
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectSiteOpened({path}, number));
    }
};

TEST_F(DesktopPaths, FoldersAndNamesOpenTheSite) {
    {
        SCOPED_TRACE("a Japanese program name");
        const auto start = OnDesktop(L"表ソ能_44.exe");
        ASSERT_FALSE(start.program.empty());
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectSiteOpened(start, L"44"));
    }
    const struct {
        const wchar_t* folder;
        const wchar_t* fileName;
        const wchar_t* number;
    } desktops[] = {
        {L"\\ソフト表示能力\\デスクトップ", L"Tavro_42.exe", L"42"},
        {L"\\Zoë Ελλάδα\\Desktop", L"Tavro_43.exe", L"43"},
    };
    for (const auto& desktop : desktops) {
        SCOPED_TRACE("the desktop in " + Utf8(desktop.folder));
        e2e::ClearReceivedUrls();
        ASSERT_NO_FATAL_FAILURE(
            ExpectSiteOpenedFromDesktopAt(e2e::UserProfileFolder() + desktop.folder, desktop.fileName, desktop.number));
    }
}

// Copies that are not in the desktop folder as the shell spells it show the main window.
class ElsewhereLaunch : public DesktopLaunch {
  protected:
    // What a program started through exactly this path sees as its own path.
    std::wstring ModulePathSeenThrough(const std::wstring& folderSpelling) {
        std::string error;
        const std::wstring probe = e2e::InstallCopy(e2e::layout::kProbe, desktop_, L"probe_5.exe", &error);
        EXPECT_FALSE(probe.empty()) << error;
        const e2e::ProbeReport report = e2e::RunProbe({folderSpelling + L"probe_5.exe"});
        EXPECT_EQ(report.error, "");
        return report.modulePath;
    }
};

// One start for each way a copy can lie outside the desktop as the shell spells it, all in one
// prefix; each start uses a file of its own, so none waits for the last one's to be let go.
TEST_F(ElsewhereLaunch, ShowsTheWindow) {
    std::string error;
    {
        SCOPED_TRACE("the Downloads folder");
        const std::wstring downloads = e2e::DownloadsFolder();
        ASSERT_FALSE(downloads.empty()) << "no Downloads folder";
        ASSERT_NE(Utf8(downloads), Utf8(desktop_)) << "Downloads must be a folder of its own";
        const std::wstring path = e2e::InstallTavro(downloads, L"Tavro_5.exe", &error);
        ASSERT_FALSE(path.empty()) << error;
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectMainWindow({path}));
    }
    {
        // Wine keeps the case of the drive letter it is given (and folds the rest to the real
        // case), so a lower-case drive letter is the one case difference a started program can see.
        SCOPED_TRACE("the desktop with its drive letter in lower case");
        ASSERT_EQ(Utf8(desktop_.substr(0, 2)), "C:") << "desktop " << Utf8(desktop_);
        const std::wstring spelled = L"c" + desktop_.substr(1) + L"\\";
        ASSERT_EQ(Utf8(ModulePathSeenThrough(spelled)), Utf8(spelled + L"probe_5.exe"))
            << "the premise: a program started as " << Utf8(spelled) << "... sees that spelling";
        ASSERT_FALSE(e2e::InstallTavro(desktop_, L"Tavro_6.exe", &error).empty()) << error;
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectMainWindow({spelled + L"Tavro_6.exe"}));
    }
    {
        // Wine's Z: drive is the Unix root: another spelling of the same folder, as a program
        // started through a mapped drive would see it.
        SCOPED_TRACE("the desktop through drive Z:");
        const std::wstring throughZ = e2e::ThroughUnixRoot(desktop_, &error);
        ASSERT_FALSE(throughZ.empty()) << error;
        ASSERT_FALSE(e2e::InstallTavro(desktop_, L"Tavro_7.exe", &error).empty()) << error;
        ASSERT_TRUE(e2e::FileExists(throughZ + L"\\Tavro_7.exe")) << Utf8(throughZ) << " is not the desktop folder";
        ASSERT_EQ(Utf8(ModulePathSeenThrough(throughZ + L"\\")), Utf8(throughZ + L"\\probe_5.exe"))
            << "the premise: a program started through Z: sees that path";
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectMainWindow({throughZ + L"\\Tavro_7.exe"}));
    }
    {
        // The same folder on disk, but the shell spells it differently from the program's path.
        SCOPED_TRACE("the desktop registered in upper case");
        std::wstring shouted = desktop_;
        for (wchar_t& c : shouted) {
            c = static_cast<wchar_t>(towupper(c));
        }
        ASSERT_NE(Utf8(shouted), Utf8(desktop_));
        e2e::DesktopRedirect redirect(shouted);
        ASSERT_TRUE(redirect.Applied()) << redirect.Error();
        ASSERT_EQ(Utf8(e2e::DesktopFolder()), Utf8(shouted)) << "desktop folder as the shell reports it";
        const std::wstring path = e2e::InstallTavro(desktop_, L"Tavro_8.exe", &error);
        ASSERT_FALSE(path.empty()) << error;
        ASSERT_EQ(Utf8(ModulePathSeenThrough(desktop_ + L"\\")), Utf8(desktop_ + L"\\probe_5.exe"))
            << "the premise: the started program sees the folder's real case";
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectMainWindow({path}));
    }
    {
        SCOPED_TRACE("the desktop registered with a trailing separator");
        const std::wstring withSeparator = desktop_ + L"\\";
        e2e::DesktopRedirect redirect(withSeparator);
        ASSERT_TRUE(redirect.Applied()) << redirect.Error();
        ASSERT_EQ(Utf8(e2e::DesktopFolder()), Utf8(withSeparator)) << "desktop folder as the shell reports it";
        const std::wstring path = e2e::InstallTavro(desktop_, L"Tavro_9.exe", &error);
        ASSERT_FALSE(path.empty()) << error;
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectMainWindow({path}));
    }
}

}  // namespace
