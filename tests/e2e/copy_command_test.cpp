// The copy command as a user meets it: copying the running program to the desktop, over what is
// there, onto itself, without a desktop, cut short halfway, and beside a reader of its temporary.
// Clicks are real input.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/TemporaryName.h"
#include "support/CopyFixture.h"
#include "support/DesktopShell.h"
#include "support/FileCompare.h"
#include "support/FileGrabber.h"
#include "support/Folders.h"
#include "support/HostShell.h"
#include "support/Layout.h"
#include "support/Tavro.h"
#include "support/Text.h"
#include "support/UrlLog.h"
#include "support/Wait.h"

namespace {

using e2e::kCopiedBox;
using e2e::kCopyFailedBox;
using e2e::Names;
using e2e::Printed;
using e2e::TemporaryOf;
using e2e::Utf8;

class CopyCommand : public e2e::CopyFixture {};

// The user's whole road: download, copy to the desktop (twice), close, start the desktop copy.
TEST_F(CopyCommand, TwiceThenTheDesktopCopyOpensTheSite) {
    ASSERT_NO_FATAL_FAILURE(StartFromDownloads(L"Tavro_12345.exe"));
    const std::wstring copy = desktop_ + L"\\Tavro_12345.exe";
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("copy " + std::to_string(round));
        ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopiedBox));
        EXPECT_EQ(e2e::CompareFiles(copy, program_), "") << "the desktop copy against the running file";
        EXPECT_TRUE(DesktopHolds({L"Tavro_12345.exe"}));
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
    EXPECT_TRUE(DesktopHolds({L"Tavro_5.exe"}));
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
    EXPECT_TRUE(DesktopHolds({L"Tavro_5.exe"}));
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
        EXPECT_TRUE(DesktopHolds({}));
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
    EXPECT_TRUE(DesktopHolds({L"Tavro_7.exe"}));
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
            EXPECT_TRUE(DesktopHolds({L"Tavro_4.exe"}));
            EXPECT_EQ(e2e::CompareFiles(desktop_ + L"\\Tavro_4.exe", program_), "")
                << "the desktop copy against the running file";
        } else {
            EXPECT_TRUE(DesktopHolds({}));
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

class CopyWithoutDesktop : public e2e::CopyFixture {
  protected:
    // Wine's explorer makes a missing desktop folder again when it starts: let it start first.
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(CopyFixture::SetUp());
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
        EXPECT_TRUE(DesktopHolds({})) << "the previous desktop";
    }
    {
        SCOPED_TRACE("redirected to a missing drive");
        ASSERT_EQ(GetDriveTypeW(L"Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << "the premise: there is no drive Q:";
        e2e::DesktopRedirect redirect(L"Q:\\Desktop");
        ASSERT_TRUE(redirect.Applied()) << redirect.Error();
        ASSERT_NO_FATAL_FAILURE(ExpectShellReportsNoDesktop());
        ASSERT_NO_FATAL_FAILURE(ExpectCopyFailsAndWindowStays());
        EXPECT_TRUE(DesktopHolds({})) << "the previous desktop";
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
class CopyCutShort : public e2e::CopyFixture {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(CopyFixture::SetUp());
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
    EXPECT_TRUE(DesktopHolds({})) << "no truncated copy, no temporary";

    const std::wstring existing = desktop_ + L"\\Tavro_5.exe";
    const std::string before(4096, 'o');
    std::string error;
    ASSERT_TRUE(e2e::WriteWholeFile(existing, before, &error)) << error;
    ASSERT_NO_FATAL_FAILURE(CopyExpecting(kCopyFailedBox));
    const std::optional<std::string> after = e2e::ReadWholeFile(existing, &error);
    ASSERT_TRUE(after.has_value()) << error;
    EXPECT_EQ(e2e::DescribeDifference(*after, before), "") << "the file that was on the desktop";
    EXPECT_TRUE(DesktopHolds({L"Tavro_5.exe"})) << "no temporary";
    ASSERT_NO_FATAL_FAILURE(Close());
}

// Wine's explorer opens each new file on the desktop to read it as a shortcut, and now and then
// still holds the temporary when the copy fails; Windows' shell and virus scanners do the same.
// The reader here does it every time it comes in time, and lets go after kHold.
constexpr std::chrono::milliseconds kHold{1000};
// Time the program gets after the reader lets go to clear up what it could not before.
constexpr std::chrono::milliseconds kSettle{3000};
constexpr int kAttempts = 10;

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
    const unsigned long long started = e2e::StartOf(GetCurrentProcess());
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
    EXPECT_TRUE(DesktopHolds(expected));
    ASSERT_NO_FATAL_FAILURE(Close());
    DeleteFileW(live.c_str());
}

}  // namespace
