// The copy command while another program holds the desktop file: the copy waits, the window keeps
// answering but takes no second press, ending the program ends the wait, and what a run ended from
// outside leaves behind the next copy clears. Clicks and keys are real input.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/UniqueResource.h"
#include "support/CopyFixture.h"
#include "support/FileCompare.h"
#include "support/Folders.h"
#include "support/Input.h"
#include "support/Layout.h"
#include "support/Tavro.h"
#include "support/Text.h"
#include "support/TopWindows.h"
#include "support/Wait.h"

namespace {

using e2e::kCopiedBox;
using e2e::kCopyFailedBox;
using e2e::Printed;
using e2e::TemporaryOf;
using e2e::Utf8;

// Another program holds the desktop file open (no delete sharing, as the shell or a virus scanner
// may), so the copy waits for it to let go. Meanwhile the window keeps answering but takes no
// second press of any kind and gives no button the focus, ending the program ends the wait, and
// what a run ended from outside leaves behind is cleared by the next copy. The program itself is
// read-only, as one run from a CD or from a file the user marked: CopyFileW passes that on to the
// copy, which must still be replaceable and, when the copy fails, removable.
class CopyWaiting : public e2e::CopyFixture {
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
        EXPECT_TRUE(DesktopHolds({L"Tavro_5.exe"}));
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
                // The holder lets go about 2 s after the click, well within the copy's patience; until
                // then the copy waits and gives no answer.
                const HWND early = e2e::WaitForMessageBox(
                    main_.process.Id(), std::chrono::duration_cast<std::chrono::milliseconds>(
                                            clicked + std::chrono::seconds(2) - std::chrono::steady_clock::now()));
                EXPECT_EQ(early, nullptr)
                    << "an answer came while the file was still held: " << e2e::ToString(e2e::Describe(early));
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
                EXPECT_TRUE(DesktopHolds({L"Tavro_5.exe"})) << "the temporary must be gone";
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
                EXPECT_TRUE(DesktopHolds({L"Tavro_5.exe"}));
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
                EXPECT_TRUE(DesktopHolds({L"Tavro_5.exe"})) << "the temporary must be gone";
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

}  // namespace
