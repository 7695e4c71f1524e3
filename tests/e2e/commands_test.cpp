// The window's commands as a user meets them: copying the running program to the desktop, and
// every way of closing the window. Clicks and keys are real input.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/TemporaryName.h"
#include "support/DesktopShell.h"
#include "support/FileCompare.h"
#include "support/FileGrabber.h"
#include "support/Folders.h"
#include "support/HostShell.h"
#include "support/Input.h"
#include "support/Layout.h"
#include "support/Tavro.h"
#include "support/Text.h"
#include "support/TopWindows.h"
#include "support/UrlLog.h"
#include "support/Wait.h"

namespace {

using e2e::kCopiedBox;
using e2e::kCopyFailedBox;
using e2e::Utf8;
using Names = std::vector<std::wstring>;

std::string Printed(const Names& names) {
    return e2e::ToString(names);
}

class CopyCommand : public testing::Test {
  protected:
    void SetUp() override {
        e2e::ClearReceivedUrls();
        desktop_ = e2e::DesktopFolder();
        downloads_ = e2e::DownloadsFolder();
        ASSERT_FALSE(desktop_.empty()) << "SHGetFolderPathW(CSIDL_DESKTOP) failed";
        ASSERT_FALSE(downloads_.empty()) << "no Downloads folder";
        ASSERT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({}))
            << "the desktop of a fresh prefix: " << e2e::DescribeFolder(desktop_);
    }

    void StartFromDownloads(const std::wstring& fileName) {
        ASSERT_NO_FATAL_FAILURE(e2e::StartFromDownloads(fileName, &main_));
        program_ = main_.program;
    }

    void CopyExpecting(const e2e::Box& box) { ASSERT_NO_FATAL_FAILURE(e2e::CopyExpecting(main_, box)); }

    // The close command must still work after whatever the case did, and end the program cleanly.
    void Close() { ASSERT_NO_FATAL_FAILURE(e2e::CloseAndExpectEnd(main_)); }

    std::wstring desktop_;
    std::wstring downloads_;
    std::wstring program_;
    e2e::MainWindow main_;
};

// The user's whole road: download, copy to the desktop (twice), close, start the desktop copy.
TEST_F(CopyCommand, TwiceThenTheDesktopCopyOpensTheSite) {
    ASSERT_NO_FATAL_FAILURE(StartFromDownloads(L"Tavro_12345.exe"));
    const std::wstring copy = desktop_ + L"\\Tavro_12345.exe";
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("copy " + std::to_string(round));
        ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopiedBox));
        EXPECT_EQ(e2e::CompareFiles(copy, program_), "") << "the desktop copy against the running file";
        EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({L"Tavro_12345.exe"}))
            << "desktop contents: " << e2e::DescribeFolder(desktop_);
    }
    ASSERT_NO_FATAL_FAILURE(Close());
    const e2e::UrlLog urls = e2e::CollectReceivedUrls();
    ASSERT_TRUE(urls.records.empty()) << "no URL before the desktop copy is started; got " << e2e::ToString(urls);
    ASSERT_NO_FATAL_FAILURE(e2e::ExpectSiteOpened({copy}, L"12345"));
}

TEST_F(CopyCommand, ReplacesAFileOfTheSameName) {
    std::string error;
    const std::optional<std::string> tavro = e2e::ReadWholeFile(e2e::layout::kTavro, &error);
    ASSERT_TRUE(tavro.has_value()) << error;
    // Longer than the program, so a copy that overwrote without truncating would show.
    const std::wstring existing = desktop_ + L"\\Tavro_5.exe";
    ASSERT_TRUE(e2e::WriteWholeFile(existing, std::string(tavro->size() + 4096, 'x'), &error)) << error;

    ASSERT_NO_FATAL_FAILURE(StartFromDownloads(L"Tavro_5.exe"));
    ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopiedBox));
    EXPECT_EQ(e2e::CompareFiles(existing, program_), "") << "the replaced file against the running file";
    EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({L"Tavro_5.exe"}))
        << "desktop contents: " << e2e::DescribeFolder(desktop_);
    ASSERT_NO_FATAL_FAILURE(Close());
}

TEST_F(CopyCommand, ReadOnlyFileIsLeftAsItWas) {
    const std::wstring existing = desktop_ + L"\\Tavro_5.exe";
    const std::string before = "an older Tavro_5.exe the user protected";
    std::string error;
    ASSERT_TRUE(e2e::WriteWholeFile(existing, before, &error)) << error;
    ASSERT_TRUE(SetFileAttributesW(existing.c_str(), FILE_ATTRIBUTE_READONLY)) << e2e::DescribeError(GetLastError());
    // The premise: Wine honours the attribute for this user (as root it would not).
    SetLastError(0);
    EXPECT_FALSE(CopyFileW(e2e::layout::kTavro, existing.c_str(), FALSE))
        << "the premise: a plain CopyFileW onto a read-only file is refused; it succeeded";
    ASSERT_EQ(e2e::ReadWholeFile(existing, &error).value_or(error), before) << "the premise left the file alone";

    ASSERT_NO_FATAL_FAILURE(StartFromDownloads(L"Tavro_5.exe"));
    ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopyFailedBox));
    EXPECT_EQ(e2e::ReadWholeFile(existing, &error).value_or(error), before) << "content of the read-only file";
    EXPECT_TRUE(e2e::IsReadOnly(existing)) << "the file lost its read-only attribute";
    EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({L"Tavro_5.exe"}))
        << "desktop contents: " << e2e::DescribeFolder(desktop_);
    ASSERT_NO_FATAL_FAILURE(Close());
}

// A hidden or system file of the program's name is the user's or the system's, as a read-only one
// is: refused, and left as it was. So is a folder of that name, which no copy can replace. Each is
// an honest failure and answers at once, not after the copy's patience for a file in use.
TEST_F(CopyCommand, HiddenSystemFileOrFolderIsLeftAsItWas) {
    struct Row {
        const char* what;
        DWORD attributes;  // of the file; 0 for a folder
    };
    const Row rows[] = {
        {"hidden", FILE_ATTRIBUTE_HIDDEN},
        {"system", FILE_ATTRIBUTE_SYSTEM},
        {"hidden and system", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {"a folder", 0},
    };
    constexpr std::chrono::milliseconds kHonestBound{1500};
    const std::wstring existing = desktop_ + L"\\Tavro_5.exe";
    const std::string before = "an older Tavro_5.exe the user kept";
    ASSERT_NO_FATAL_FAILURE(StartFromDownloads(L"Tavro_5.exe"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::string error;
        if (row.attributes == 0) {
            ASSERT_TRUE(e2e::CreateFolderTree(existing)) << Utf8(existing);
        } else {
            ASSERT_TRUE(e2e::WriteWholeFile(existing, before, &error)) << error;
            ASSERT_TRUE(SetFileAttributesW(existing.c_str(), row.attributes)) << e2e::DescribeError(GetLastError());
        }
        const auto clicked = std::chrono::steady_clock::now();
        ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopyFailedBox));
        const auto took =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - clicked);
        EXPECT_LE(took.count(), kHonestBound.count()) << "ms from the click to the failure message";
        const DWORD after = GetFileAttributesW(existing.c_str());
        if (row.attributes == 0) {
            EXPECT_TRUE(e2e::FolderExists(existing)) << "the folder is gone";
            EXPECT_EQ(Printed(e2e::NamesIn(existing)), Printed({})) << "the folder's contents";
            RemoveDirectoryW(existing.c_str());
        } else {
            EXPECT_EQ(e2e::DescribeDifference(e2e::ReadWholeFile(existing, &error).value_or(error), before), "")
                << "content of the file";
            EXPECT_EQ(after & row.attributes, row.attributes) << "attributes now " << after;
            SetFileAttributesW(existing.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(existing.c_str());
        }
        EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({}))
            << "desktop contents: " << e2e::DescribeFolder(desktop_);
    }
    ASSERT_NO_FATAL_FAILURE(Close());
}

// Started from the desktop through another spelling of its folder (Wine's Z: drive, as a mapped
// drive would be), the program shows its window; its copy would be onto itself, and is refused
// with the file left whole. The file system's identity of the two spellings decides it.
TEST_F(CopyCommand, OntoItselfThroughAnotherSpellingIsRefused) {
    std::string error;
    const std::wstring throughZ = e2e::ThroughUnixRoot(desktop_, &error);
    ASSERT_FALSE(throughZ.empty()) << error;
    const std::wstring installed = e2e::InstallTavro(desktop_, L"Tavro_7.exe", &error);
    ASSERT_FALSE(installed.empty()) << error;
    ASSERT_NO_FATAL_FAILURE(e2e::StartMainWindow({throughZ + L"\\Tavro_7.exe"}, &main_));
    ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopyFailedBox));
    EXPECT_EQ(e2e::CompareFiles(installed, e2e::layout::kTavro), "") << "the desktop file against the program";
    EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({L"Tavro_7.exe"}))
        << "desktop contents: " << e2e::DescribeFolder(desktop_);
    ASSERT_NO_FATAL_FAILURE(Close());
}

// The copy is of the running file itself, and only when it is an ".exe": started under another
// name it fails and leaves nothing on the desktop. Started so beside an unrelated "<name>.exe",
// the program once copied that other file and called it a success.
TEST_F(CopyCommand, CopiesOnlyTheRunningExeFile) {
    struct Row {
        const wchar_t* running;
        bool namesakeBeside;  // an unrelated Tavro_4.exe in the same folder
        bool copies;          // else the failure message, and nothing on the desktop
    };
    const Row rows[] = {
        {L"Tavro_4", false, false},
        {L"Tavro_4.bin", false, false},
        {L"Tavro_4.com", false, false},
        {L"Tavro_4.scr", true, false},
        {L"Tavro_4", true, false},
        {L"Tavro_4.EXE", false, true},  // ".exe" in any case is the running file's own extension
    };
    const std::string namesake = "an unrelated program that happens to be called Tavro_4.exe";
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE("started as " + Utf8(row.running));
        const std::wstring folder = downloads_ + L"\\row" + std::to_wstring(++index);
        ASSERT_TRUE(e2e::CreateFolderTree(folder)) << Utf8(folder);
        std::string error;
        Names expectedThere = {row.running};
        if (row.namesakeBeside) {
            ASSERT_TRUE(e2e::WriteWholeFile(folder + L"\\Tavro_4.exe", namesake, &error)) << error;
            expectedThere.push_back(L"Tavro_4.exe");
            std::sort(expectedThere.begin(), expectedThere.end());
        }
        program_ = e2e::InstallTavro(folder, row.running, &error);
        ASSERT_FALSE(program_.empty()) << error;
        ASSERT_NO_FATAL_FAILURE(e2e::StartMainWindow({program_}, &main_));
        ASSERT_NO_FATAL_FAILURE(CopyExpecting(row.copies ? kCopiedBox : kCopyFailedBox));
        if (row.copies) {
            EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({L"Tavro_4.exe"}))
                << "desktop contents: " << e2e::DescribeFolder(desktop_);
            EXPECT_EQ(e2e::CompareFiles(desktop_ + L"\\Tavro_4.exe", program_), "")
                << "the desktop copy against the running file";
        } else {
            EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({}))
                << "desktop contents: " << e2e::DescribeFolder(desktop_);
        }
        EXPECT_EQ(Printed(e2e::NamesIn(folder)), Printed(expectedThere)) << "contents of " << Utf8(folder);
        if (row.namesakeBeside) {
            EXPECT_EQ(e2e::ReadWholeFile(folder + L"\\Tavro_4.exe", &error).value_or(error), namesake)
                << "the unrelated Tavro_4.exe";
        }
        ASSERT_NO_FATAL_FAILURE(Close());
        for (const std::wstring& name : e2e::NamesIn(desktop_)) {
            DeleteFileW((desktop_ + L"\\" + name).c_str());
        }
    }
}

class CopyWithoutDesktop : public CopyCommand {
  protected:
    // Wine's explorer makes a missing desktop folder again when it starts: let it start first.
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(CopyCommand::SetUp());
        ASSERT_TRUE(e2e::WaitForDesktopShell(desktop_, e2e::kStartBound))
            << "the desktop shell did not take hold of " << Utf8(desktop_);
    }

    static void ExpectShellReportsNoDesktop() {
        wchar_t reported[MAX_PATH] = {};
        const HRESULT result = SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, reported);
        ASSERT_TRUE(FAILED(result)) << "the premise: SHGetFolderPathW reports the desktop as missing; it returned "
                                    << std::hex << static_cast<unsigned long>(result) << " and " << Utf8(reported);
    }

    // Two failed copies in a row: the window answers again after the first, and stays.
    void ExpectCopyFailsAndWindowStays() {
        ASSERT_NO_FATAL_FAILURE(StartFromDownloads(L"Tavro_5.exe"));
        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE("copy " + std::to_string(round));
            ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopyFailedBox));
            EXPECT_TRUE(main_.process.IsRunning()) << "the program ended after a failed copy";
        }
        DWORD_PTR ignored = 0;
        EXPECT_NE(SendMessageTimeoutW(main_.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored), 0)
            << "the main window does not answer messages";
        // Nothing may land elsewhere instead (an empty folder would leave a path like "\\Tavro_5.exe").
        EXPECT_EQ(Printed(e2e::NamesIn(downloads_)), Printed({L"Tavro_5.exe"})) << "Downloads contents";
        EXPECT_FALSE(e2e::FileExists(L"C:\\Tavro_5.exe")) << "a copy landed at the root of C:";
        ASSERT_NO_FATAL_FAILURE(Close());
    }
};

// The desktop the shell names is missing: redirected to a folder that does not exist, to a drive
// that is gone (a network share, a removed disk), and, last, the desktop folder itself removed.
TEST_F(CopyWithoutDesktop, CopyFailsAndTheWindowStays) {
    {
        SCOPED_TRACE("redirected to a missing folder");
        const std::wstring missing = e2e::UserProfileFolder() + L"\\Gone\\Desktop";
        e2e::DesktopRedirect redirect(missing);
        ASSERT_TRUE(redirect.Applied()) << redirect.Error();
        ASSERT_NO_FATAL_FAILURE(ExpectShellReportsNoDesktop());
        ASSERT_NO_FATAL_FAILURE(ExpectCopyFailsAndWindowStays());
        EXPECT_FALSE(e2e::FolderExists(missing)) << "the missing desktop folder was made";
        EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({}))
            << "the previous desktop's contents: " << e2e::DescribeFolder(desktop_);
    }
    {
        SCOPED_TRACE("redirected to a missing drive");
        ASSERT_EQ(GetDriveTypeW(L"Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << "the premise: there is no drive Q:";
        e2e::DesktopRedirect redirect(L"Q:\\Desktop");
        ASSERT_TRUE(redirect.Applied()) << redirect.Error();
        ASSERT_NO_FATAL_FAILURE(ExpectShellReportsNoDesktop());
        ASSERT_NO_FATAL_FAILURE(ExpectCopyFailsAndWindowStays());
        EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({}))
            << "the previous desktop's contents: " << e2e::DescribeFolder(desktop_);
    }
    SCOPED_TRACE("the desktop folder removed");
    std::string error;
    ASSERT_TRUE(e2e::RemoveFolderFromHost(desktop_, &error)) << error;
    ASSERT_NO_FATAL_FAILURE(ExpectShellReportsNoDesktop());
    ASSERT_NO_FATAL_FAILURE(ExpectCopyFailsAndWindowStays());
    EXPECT_FALSE(e2e::FolderExists(desktop_)) << "the desktop folder was made again";
}

// A copy that fails halfway. Wine ignores byte-range locks on reads, so a locked source would
// not stop it; instead Tavro runs in a Wine process whose files cannot grow past half its size,
// as on a disk that fills up while the copy is written.
class CopyCutShort : public CopyCommand {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(CopyCommand::SetUp());
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        ASSERT_TRUE(GetFileAttributesExW(e2e::layout::kTavro, GetFileExInfoStandard, &data))
            << e2e::DescribeError(GetLastError());
        tavroSize_ = data.nFileSizeLow;
        limit_ = tavroSize_ / 2 / 512 * 512;
        ASSERT_GT(limit_, 0ul) << "Tavro.exe is too small to cut a copy of it short";
    }

    // The premise: under the limit, a plain copy straight to its destination stops partway and
    // leaves the truncated file behind. Without the limit working, the cases below prove nothing.
    void ExpectLimitCutsAPlainCopyShort() {
        const std::wstring folder = e2e::UserProfileFolder() + L"\\limit-check";
        ASSERT_TRUE(e2e::CreateFolderTree(folder)) << Utf8(folder);
        const std::wstring source = folder + L"\\source.exe";
        const std::wstring target = folder + L"\\plain.exe";
        const std::wstring done = folder + L"\\done";
        ASSERT_TRUE(CopyFileW(e2e::layout::kTavro, source.c_str(), FALSE)) << e2e::DescribeError(GetLastError());
        const std::wstring script = L"cd " + e2e::ShellQuoted(e2e::UnixPathOf(folder)) + L" && " +
                                    e2e::FileSizeLimitLines(limit_) + e2e::kWineCommand + L" cmd /c copy /b " +
                                    e2e::ShellQuoted(source) + L" " + e2e::ShellQuoted(target) +
                                    L" >/dev/null 2>&1; echo $? >done.tmp; mv done.tmp done";
        std::string error;
        ASSERT_TRUE(e2e::StartShellScript(script, &error)) << error;
        ASSERT_TRUE(e2e::PollUntil([&] { return e2e::FileExists(done); }, e2e::kEndBound))
            << "the limited plain copy did not finish within " << e2e::kEndBound.count() << " ms";
        const std::optional<std::string> copied = e2e::ReadWholeFile(target, &error);
        ASSERT_TRUE(copied.has_value()) << "the premise: the plain copy leaves a file; " << error;
        ASSERT_EQ(copied->size(), limit_)
            << "the premise: the plain copy stops at the limit (the program has " << tavroSize_ << " bytes)";
    }

    // Starts Downloads\fileName in a Wine process of its own under the limit.
    void StartLimited(const std::wstring& fileName) {
        std::string error;
        program_ = e2e::InstallTavro(downloads_, fileName, &error);
        ASSERT_FALSE(program_.empty()) << error;
        const std::wstring script = L"cd " + e2e::ShellQuoted(e2e::UnixPathOf(downloads_)) + L" && " +
                                    e2e::FileSizeLimitLines(limit_) + L"exec " + e2e::kWineCommand + L" " +
                                    e2e::ShellQuoted(program_) + L" >/dev/null 2>&1";
        ASSERT_TRUE(e2e::StartShellScript(script, &error)) << error;
        ASSERT_NO_FATAL_FAILURE(e2e::FindMainWindow(&main_));
    }

    unsigned long tavroSize_ = 0;
    unsigned long limit_ = 0;
};

// A copy cut short leaves nothing behind on an empty desktop, and keeps the file that was there.
TEST_F(CopyCutShort, LeavesNothingBehindAndKeepsWhatWasThere) {
    ASSERT_NO_FATAL_FAILURE(ExpectLimitCutsAPlainCopyShort());
    ASSERT_NO_FATAL_FAILURE(StartLimited(L"Tavro_5.exe"));
    ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopyFailedBox));
    EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({}))
        << "desktop contents (no truncated copy, no temporary): " << e2e::DescribeFolder(desktop_);

    const std::wstring existing = desktop_ + L"\\Tavro_5.exe";
    const std::string before(4096, 'o');
    std::string error;
    ASSERT_TRUE(e2e::WriteWholeFile(existing, before, &error)) << error;
    ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopyFailedBox));
    const std::optional<std::string> after = e2e::ReadWholeFile(existing, &error);
    ASSERT_TRUE(after.has_value()) << error;
    EXPECT_EQ(e2e::DescribeDifference(*after, before), "") << "the file that was on the desktop";
    EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({L"Tavro_5.exe"}))
        << "desktop contents (no temporary): " << e2e::DescribeFolder(desktop_);
    ASSERT_NO_FATAL_FAILURE(Close());
}

// Wine's explorer opens each new file on the desktop to read it as a shortcut, and now and then
// still holds the temporary when the copy fails; Windows' shell and virus scanners do the same.
// The reader here does it every time it comes in time, and lets go after kHold.
constexpr std::chrono::milliseconds kHold{1000};
// Time the program gets after the reader lets go to clear up what it could not before.
constexpr std::chrono::milliseconds kSettle{3000};
constexpr int kAttempts = 10;

// When a process started, as the program writes it into its temporary's name.
unsigned long long StartOf(HANDLE process) {
    FILETIME created = {};
    FILETIME exited = {};
    FILETIME kernel = {};
    FILETIME user = {};
    EXPECT_TRUE(GetProcessTimes(process, &created, &exited, &kernel, &user)) << e2e::DescribeError(GetLastError());
    return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Where the program writes a copy before moving it into place: its folder, under the program's rule.
std::wstring TemporaryOf(const std::wstring& folder, HANDLE process) {
    return folder + L"\\" + tavro::TemporaryFileName(GetProcessId(process), StartOf(process));
}

TEST_F(CopyCutShort, ReaderOfTheTemporaryLeavesNothingBehind) {
    ASSERT_NO_FATAL_FAILURE(ExpectLimitCutsAPlainCopyShort());
    ASSERT_NO_FATAL_FAILURE(StartLimited(L"Tavro_5.exe"));
    e2e::FileGrabber reader(TemporaryOf(desktop_, main_.process.Handle()), kHold);
    ASSERT_TRUE(reader.Started()) << "cannot start the reader";
    int attempts = 0;
    while (!reader.Grabbed() && attempts < kAttempts) {
        ++attempts;
        SCOPED_TRACE("copy " + std::to_string(attempts));
        ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopyFailedBox));
    }
    if (!reader.Grabbed()) {
        GTEST_SKIP() << "the reader never had the temporary open in " << kAttempts << " copies";
    }
    const bool cleared = e2e::PollUntil([&] { return e2e::NamesIn(desktop_).empty(); }, kHold + kSettle);
    EXPECT_TRUE(cleared) << "expected nothing on the desktop once the reader let go (it held the temporary for "
                         << kHold.count() << " ms); desktop contents: " << e2e::DescribeFolder(desktop_);
    ASSERT_NO_FATAL_FAILURE(Close());
}

// A reader must not turn a copy that can land into a half-done one: either the copy lands
// and the message says so, or the message says it failed and nothing is left behind.
TEST_F(CopyCommand, ReaderOfTheTemporaryLeavesNoHalfCopy) {
    ASSERT_NO_FATAL_FAILURE(StartFromDownloads(L"Tavro_5.exe"));
    const std::wstring copy = desktop_ + L"\\Tavro_5.exe";
    e2e::FileGrabber reader(TemporaryOf(desktop_, main_.process.Handle()), kHold);
    ASSERT_TRUE(reader.Started()) << "cannot start the reader";
    int attempts = 0;
    std::wstring answer;
    while (!reader.Grabbed() && attempts < kAttempts) {
        ++attempts;
        SCOPED_TRACE("copy " + std::to_string(attempts));
        ASSERT_NO_FATAL_FAILURE(e2e::Click(main_, e2e::kCopyCommandId));
        ASSERT_NO_FATAL_FAILURE(e2e::AnswerCopyBox(main_.process.Id(), &answer));
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectWindowStays(main_));
        if (!reader.Grabbed()) {
            EXPECT_EQ(Utf8(answer), Utf8(kCopiedBox.text)) << "a copy nobody else touched";
        }
    }
    if (!reader.Grabbed()) {
        GTEST_SKIP() << "the reader never had the temporary open in " << kAttempts << " copies";
    }
    const auto noTemporary = [&] {
        const Names names = e2e::NamesIn(desktop_);
        return std::none_of(names.begin(), names.end(),
                            [](const std::wstring& name) { return tavro::OwnerOfTemporary(name).has_value(); });
    };
    e2e::PollUntil(noTemporary, kHold + kSettle);
    const Names left = e2e::NamesIn(desktop_);
    if (answer == kCopiedBox.text) {
        EXPECT_EQ(Printed(left), Printed({L"Tavro_5.exe"})) << "desktop contents: " << e2e::DescribeFolder(desktop_);
        EXPECT_EQ(e2e::CompareFiles(copy, program_), "") << "the message said the copy landed";
    } else {
        EXPECT_EQ(Utf8(answer), Utf8(kCopyFailedBox.text)) << "the message";
        // Earlier rounds landed whole copies; the failed one must leave that file as it was.
        EXPECT_EQ(Printed(left), Printed(attempts > 1 ? Names{L"Tavro_5.exe"} : Names{}))
            << "desktop contents after " << attempts << " copies, the last one failed (the reader held "
            << "temporary for " << kHold.count() << " ms): " << e2e::DescribeFolder(desktop_);
        if (attempts > 1) {
            EXPECT_EQ(e2e::CompareFiles(copy, program_), "") << "the copy an earlier round made";
        }
    }
    ASSERT_NO_FATAL_FAILURE(Close());
}

// After a run was ended Windows soon gives its process id to another program: a temporary whose
// id now belongs to a live process that started at another moment is a leftover all the same,
// and the next copy removes it. One whose id and start match a live process may be a copy under
// way, and stays. The live process here is this test's own.
TEST_F(CopyCommand, StaleTemporaryOfAReusedProcessIdIsRemoved) {
    const unsigned long long started = StartOf(GetCurrentProcess());
    const std::wstring stale = desktop_ + L"\\" + tavro::TemporaryFileName(GetCurrentProcessId(), started - 1);
    const std::wstring live = desktop_ + L"\\" + tavro::TemporaryFileName(GetCurrentProcessId(), started);
    std::string error;
    for (const std::wstring& temporary : {stale, live}) {
        ASSERT_TRUE(e2e::WriteWholeFile(temporary, "a temporary", &error)) << error;
    }
    ASSERT_NO_FATAL_FAILURE(StartFromDownloads(L"Tavro_5.exe"));
    ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopiedBox));
    Names expected = {L"Tavro_5.exe", tavro::TemporaryFileName(GetCurrentProcessId(), started)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed(expected))
        << "desktop contents: " << e2e::DescribeFolder(desktop_);
    ASSERT_NO_FATAL_FAILURE(Close());
    DeleteFileW(live.c_str());
}

// Another program holds the desktop file open (no delete sharing, as the shell or a virus scanner
// may), so the copy waits for it to let go. Meanwhile the window keeps answering but takes no
// second press of any kind and gives no button the focus, ending the program ends the wait, and
// what a run ended from outside leaves behind is cleared by the next copy. The program itself is
// read-only, as one run from a CD or from a file the user marked: CopyFileW passes that on to the
// copy, which must still be replaceable and, when the copy fails, removable.
class CopyWaiting : public CopyCommand {
  protected:
    // Longer than the program, so a copy that did not replace it would show.
    void PutOlderCopyOnDesktop() {
        std::string error;
        ASSERT_TRUE(e2e::WriteWholeFile(copy_, older_, &error)) << error;
    }

    void Hold() {
        holder_.reset(CreateFileW(copy_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder_) << "cannot open " << Utf8(copy_) << ": " << e2e::DescribeError(GetLastError());
    }

    void LetGo() { holder_.reset(); }

    // Downloads\Tavro_5.exe, read-only, started again by every row.
    void InstallReadOnlyProgram() {
        std::string error;
        program_ = e2e::InstallTavro(downloads_, L"Tavro_5.exe", &error);
        ASSERT_FALSE(program_.empty()) << error;
        ASSERT_TRUE(SetFileAttributesW(program_.c_str(), FILE_ATTRIBUTE_READONLY))
            << e2e::DescribeError(GetLastError());
        // The premise: a plain copy of it is read-only too (Wine as root would not say so).
        const std::wstring probe = e2e::UserProfileFolder() + L"\\read-only-probe.exe";
        ASSERT_TRUE(CopyFileW(program_.c_str(), probe.c_str(), FALSE)) << e2e::DescribeError(GetLastError());
        const bool readOnly = e2e::IsReadOnly(probe);
        SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(probe.c_str());
        ASSERT_TRUE(readOnly) << "the premise: CopyFileW passes the read-only attribute on";
    }

    void Start() { ASSERT_NO_FATAL_FAILURE(e2e::StartMainWindow({program_}, &main_)); }

    // The desktop holds the one program file, whole and replaceable, and no temporary.
    void ExpectCopyLanded(const std::string& after) {
        SCOPED_TRACE(after);
        EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({L"Tavro_5.exe"}))
            << "desktop contents: " << e2e::DescribeFolder(desktop_);
        EXPECT_EQ(e2e::CompareFiles(copy_, program_), "") << "the desktop copy against the running file";
        EXPECT_FALSE(e2e::IsReadOnly(copy_)) << "the desktop copy is read-only: no later copy could replace it";
    }

    // Clicks copy and waits until the copy is whole beside the held file and waiting to replace it.
    void ClickCopyAndWaitForTheWait() {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        ASSERT_TRUE(GetFileAttributesExW(program_.c_str(), GetFileExInfoStandard, &data))
            << e2e::DescribeError(GetLastError());
        const ULONGLONG programSize = data.nFileSizeLow;
        // The release is blind: waiting for the window to take it would sit out a frozen wait.
        const HWND button = main_.copy;
        std::string error;
        ASSERT_TRUE(e2e::PressLeftAt(button, e2e::ClientCentre(button), &error)) << "press on copy: " << error;
        ASSERT_TRUE(e2e::ReleaseLeftBlindly(e2e::ClientToScreenPoint(button, e2e::ClientCentre(button)), &error))
            << "release on copy: " << error;
        // This run's own temporary: one an earlier run left must not pass for it.
        const std::wstring temporary = TemporaryOf(desktop_, main_.process.Handle());
        const bool waiting = e2e::PollUntil(
            [&] {
                WIN32_FILE_ATTRIBUTE_DATA found = {};
                return GetFileAttributesExW(temporary.c_str(), GetFileExInfoStandard, &found) &&
                       found.nFileSizeLow == programSize;
            },
            e2e::kStartBound);
        ASSERT_TRUE(waiting) << "no whole temporary copy beside the held file; desktop contents: "
                             << e2e::DescribeFolder(desktop_);
    }

    bool ClickCopyBlindly(std::string* error) {
        const HWND button = main_.copy;
        return e2e::ClickScreenPointBlindly(e2e::ClientToScreenPoint(button, e2e::ClientCentre(button)), error);
    }

    void ExpectWindowAnswers() {
        const auto started = std::chrono::steady_clock::now();
        DWORD_PTR ignored = 0;
        const LRESULT answered =
            SendMessageTimeoutW(main_.window, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerBoundMs, &ignored);
        const auto took =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
        EXPECT_NE(answered, 0) << "the window did not answer within " << kAnswerBoundMs
                               << " ms while the copy waited (waited " << took.count() << " ms)";
    }

    static constexpr UINT kAnswerBoundMs = 500;
    // Windows offers to end a program that keeps the end of the session waiting after about five
    // seconds; the program means to answer within two, plus the machine's load.
    static constexpr UINT kEndSessionWaitMs = 5000;
    static constexpr long long kEndSessionBoundMs = 2500;
    std::wstring copy_;
    std::string older_;
    tavro::UniqueHandle holder_;
};

TEST_F(CopyWaiting, AnswersOncePerPressAndLeavesNothingBehind) {
    copy_ = desktop_ + L"\\Tavro_5.exe";
    std::string error;
    const std::optional<std::string> tavro = e2e::ReadWholeFile(e2e::layout::kTavro, &error);
    ASSERT_TRUE(tavro.has_value()) << error;
    older_ = std::string(tavro->size() + 4096, 'o');
    ASSERT_NO_FATAL_FAILURE(InstallReadOnlyProgram());

    enum class During { PressesThenLetGo, HeldPastTheWait, CloseTheWindow, EndTheSession, EndTheProcess };
    struct Row {
        const char* what;
        During during;
    };
    // Ending the process from outside comes last: what it leaves is for the copies after the table.
    const Row rows[] = {
        {"a click, Space, Space and a BM_CLICK, then the holder lets go", During::PressesThenLetGo},
        {"the holder keeps the file past the wait", During::HeldPastTheWait},
        {"the window is closed (WM_CLOSE, as Task Manager's End task sends it)", During::CloseTheWindow},
        {"the session ends (WM_QUERYENDSESSION, WM_ENDSESSION, the process ended as the second returns)",
         During::EndTheSession},
        {"the process is ended from outside (TerminateProcess)", During::EndTheProcess},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_NO_FATAL_FAILURE(PutOlderCopyOnDesktop());
        ASSERT_NO_FATAL_FAILURE(Hold());
        ASSERT_NO_FATAL_FAILURE(Start());
        const auto clicked = std::chrono::steady_clock::now();
        ASSERT_NO_FATAL_FAILURE(ClickCopyAndWaitForTheWait());
        ExpectWindowAnswers();
        switch (row.during) {
            case During::PressesThenLetGo: {
                // As a modal dialog's owner: no button shows a focus mark it would not honour.
                EXPECT_EQ(e2e::NameOf(main_, e2e::FocusOf(main_.threadId)), "NULL") << "the focus during the wait";
                ASSERT_TRUE(ClickCopyBlindly(&error)) << "second click: " << error;
                for (int space = 1; space <= 2; ++space) {
                    ASSERT_TRUE(e2e::PressKeysBlindly({VK_SPACE}, &error)) << "Space " << space << ": " << error;
                    e2e::LetHandle(main_.window);
                }
                // What an accessibility tool's "invoke" sends; sent, so no message loop can hold it back.
                ASSERT_TRUE(SendNotifyMessageW(main_.copy, BM_CLICK, 0, 0)) << e2e::DescribeError(GetLastError());
                e2e::LetHandle(main_.window);
                ExpectWindowAnswers();
                // The holder lets go about 2 s after the click, well within the copy's patience.
                e2e::PollUntil([] { return false; },
                               std::chrono::duration_cast<std::chrono::milliseconds>(clicked + std::chrono::seconds(2) -
                                                                                     std::chrono::steady_clock::now()));
                LetGo();
                ASSERT_NO_FATAL_FAILURE(e2e::AnswerBox(main_.process.Id(), kCopiedBox));
                ASSERT_NO_FATAL_FAILURE(e2e::ExpectWindowStays(main_));
                const HWND second = e2e::WaitForMessageBox(main_.process.Id(), std::chrono::milliseconds(1500));
                EXPECT_EQ(second, nullptr) << "a second answer came: a press during the wait started another copy; "
                                           << e2e::ToString(e2e::Describe(second));
                if (second != nullptr) {
                    std::wstring ignored;
                    ASSERT_NO_FATAL_FAILURE(e2e::AnswerCopyBox(main_.process.Id(), &ignored));
                }
                EXPECT_EQ(e2e::NameOf(main_, e2e::WaitForFocus(main_.threadId, main_.copy)), "CopyCommand")
                    << "the focus after the answer";
                ExpectCopyLanded("the copy that waited");
                ASSERT_NO_FATAL_FAILURE(Close());
                break;
            }
            case During::HeldPastTheWait: {
                // The copy's patience, 3 s, then the temporary's removal; more under a loaded machine.
                ASSERT_NE(e2e::WaitForMessageBox(main_.process.Id(), e2e::kEndBound), nullptr)
                    << "no answer within " << e2e::kEndBound.count() << " ms of a copy that could not land";
                ASSERT_NO_FATAL_FAILURE(e2e::AnswerBox(main_.process.Id(), kCopyFailedBox));
                ASSERT_NO_FATAL_FAILURE(e2e::ExpectWindowStays(main_));
                EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({L"Tavro_5.exe"}))
                    << "desktop contents (the temporary must be gone): " << e2e::DescribeFolder(desktop_);
                EXPECT_EQ(e2e::ReadWholeFile(copy_, &error).value_or(error), older_) << "the held file";
                LetGo();
                ASSERT_NO_FATAL_FAILURE(Close());
                break;
            }
            case During::CloseTheWindow: {
                ASSERT_NO_FATAL_FAILURE(e2e::ExpectEnds(main_, [&] {
                    ASSERT_TRUE(PostMessageW(main_.window, WM_CLOSE, 0, 0)) << e2e::DescribeError(GetLastError());
                }));
                LetGo();
                EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({L"Tavro_5.exe"}))
                    << "desktop contents: " << e2e::DescribeFolder(desktop_);
                EXPECT_EQ(e2e::ReadWholeFile(copy_, &error).value_or(error), older_) << "the held file";
                break;
            }
            case During::EndTheSession: {
                // The user chose to log off: nothing half-written is on the desktop, the older file stays.
                const auto kLogoff = static_cast<LPARAM>(ENDSESSION_LOGOFF);
                DWORD_PTR allowed = 0;
                ASSERT_NE(SendMessageTimeoutW(main_.window, WM_QUERYENDSESSION, 0, kLogoff, SMTO_NORMAL, kAnswerBoundMs,
                                              &allowed),
                          0)
                    << "no answer to WM_QUERYENDSESSION within " << kAnswerBoundMs << " ms";
                EXPECT_NE(allowed, 0u) << "the program refused to let the session end";
                const auto sent = std::chrono::steady_clock::now();
                DWORD_PTR ignored = 0;
                const LRESULT answered = SendMessageTimeoutW(main_.window, WM_ENDSESSION, TRUE, kLogoff, SMTO_NORMAL,
                                                             kEndSessionWaitMs, &ignored);
                // As Windows may, any time after the answer.
                main_.process.Terminate();
                const auto took =
                    std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent);
                ASSERT_FALSE(main_.process.IsRunning()) << "the process did not end";
                LetGo();
                EXPECT_NE(answered, 0) << "no answer to WM_ENDSESSION within " << kEndSessionWaitMs << " ms";
                EXPECT_LE(took.count(), kEndSessionBoundMs) << "ms WM_ENDSESSION took to return";
                EXPECT_EQ(Printed(e2e::NamesIn(desktop_)), Printed({L"Tavro_5.exe"}))
                    << "desktop contents (the temporary must be gone): " << e2e::DescribeFolder(desktop_);
                EXPECT_EQ(e2e::DescribeDifference(e2e::ReadWholeFile(copy_, &error).value_or(error), older_), "")
                    << "the held file";
                break;
            }
            case During::EndTheProcess: {
                main_.process.Terminate();
                ASSERT_FALSE(main_.process.IsRunning()) << "the process did not end";
                LetGo();
                const std::wstring left = TemporaryOf(desktop_, main_.process.Handle());
                ASSERT_TRUE(e2e::FileExists(left))
                    << "the premise: a run ended during the wait leaves its temporary; desktop contents: "
                    << e2e::DescribeFolder(desktop_);
                // As a run that ended between writing it and clearing its attribute would leave it.
                ASSERT_TRUE(SetFileAttributesW(left.c_str(), FILE_ATTRIBUTE_READONLY))
                    << e2e::DescribeError(GetLastError());
                break;
            }
        }
    }

    // The next run's copy, with nobody holding anything, clears what the ended run left; its
    // second copy replaces its first.
    ASSERT_NO_FATAL_FAILURE(Start());
    for (int round = 1; round <= 2; ++round) {
        ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopiedBox));
        ExpectCopyLanded("copy " + std::to_string(round) + " of the next run");
    }
    ASSERT_NO_FATAL_FAILURE(Close());
}

// Where the window says its close box is: asked along the middle of the title bar, then up and
// down through the middle of what answered HTCLOSE.
POINT CloseBoxCentre(HWND window) {
    RECT frame = {};
    GetWindowRect(window, &frame);
    POINT clientOrigin = {0, 0};
    ClientToScreen(window, &clientOrigin);
    const auto isCloseBox = [window](LONG x, LONG y) {
        DWORD_PTR hit = 0;
        return SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit) &&
               hit == HTCLOSE;
    };
    const LONG titleMiddle = (frame.top + clientOrigin.y) / 2;
    LONG left = LONG_MAX;
    LONG right = LONG_MIN;
    for (LONG x = std::max(frame.left, frame.right - 120); x < frame.right; ++x) {
        if (isCloseBox(x, titleMiddle)) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    if (left > right) {
        return {-1, -1};
    }
    const LONG x = (left + right) / 2;
    LONG top = LONG_MAX;
    LONG bottom = LONG_MIN;
    for (LONG y = frame.top; y < clientOrigin.y; ++y) {
        if (isCloseBox(x, y)) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return {x, (top + bottom) / 2};
}

void ClickCloseBox(const e2e::MainWindow& main) {
    const POINT box = CloseBoxCentre(main.window);
    ASSERT_NE(box.x, -1) << "the title bar has no close box (no point answers HTCLOSE)";
    POINT client = box;
    ScreenToClient(main.window, &client);
    std::string error;
    ASSERT_TRUE(e2e::ClickClientPoint(main.window, client, &error)) << "click on the close box: " << error;
}

constexpr const wchar_t* kMenuClass = L"#32768";

// Alt+Space opens the window menu; C picks Close ("&Close", and "閉じる(&C)" in Japanese).
void CloseThroughTheWindowMenu(const e2e::MainWindow& main) {
    std::string error;
    ASSERT_TRUE(e2e::PressKeys(main.window, {VK_MENU, VK_SPACE}, &error)) << "Alt+Space: " << error;
    const HWND menu = e2e::WaitForVisibleWindow(main.process.Id(), std::chrono::seconds(3),
                                                [](HWND w) { return e2e::ClassNameOf(w) == kMenuClass; });
    ASSERT_NE(menu, nullptr) << "the window menu did not open after Alt+Space";
    ASSERT_TRUE(e2e::PressKey(main.window, 'C', &error)) << "C: " << error;
}

// Windows ending the session asks first, then tells the window the session ends.
void EndTheSession(const e2e::MainWindow& main) {
    DWORD_PTR allowed = 0;
    const LRESULT answered =
        SendMessageTimeoutW(main.window, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 2000, &allowed);
    if (answered != 0) {
        EXPECT_NE(allowed, 0u) << "the program refused to let the session end";
    }
    if (IsWindow(main.window)) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(main.window, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    }
}

// Every way of closing the window ends the program at once: nothing shown, nothing opened. One
// start a way, all in one prefix.
TEST(CloseWindow, EveryWayEndsTheProgram) {
    struct Way {
        const char* what;
        std::function<void(const e2e::MainWindow&)> close;
        const wchar_t* allowedClass;  // a window that may show on the way (the window menu)
    };
    const Way ways[] = {
        {"the close button", [](const e2e::MainWindow& main) { e2e::Click(main, e2e::kCloseId); }, L""},
        {"a click on the close box", ClickCloseBox, L""},
        // What the close box sends, for systems where it is drawn by someone else.
        {"the close box's command",
         [](const e2e::MainWindow& main) {
             ASSERT_TRUE(PostMessageW(main.window, WM_SYSCOMMAND, SC_CLOSE, 0)) << e2e::DescribeError(GetLastError());
         },
         L""},
        {"Close on the window menu", CloseThroughTheWindowMenu, kMenuClass},
        {"Alt+F4",
         [](const e2e::MainWindow& main) {
             std::string error;
             ASSERT_TRUE(e2e::PressKeys(main.window, {VK_MENU, VK_F4}, &error)) << "Alt+F4: " << error;
         },
         L""},
        {"the session ending", EndTheSession, L""},
    };
    int start = 0;
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        e2e::ClearReceivedUrls();
        e2e::MainWindow main;
        // A file of its own each time: no start waits for the last one's file to be let go.
        ASSERT_NO_FATAL_FAILURE(e2e::StartFromDownloads(L"Tavro_" + std::to_wstring(++start) + L".exe", &main));
        ASSERT_NO_FATAL_FAILURE(e2e::ExpectEnds(
            main, [&] { way.close(main); }, L"", way.allowedClass));
    }
}

}  // namespace
