// The harness checks itself: if these fail, no other end-to-end result can be trusted.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include <gtest/gtest.h>

#include "support/Folders.h"
#include "platform/UniqueResource.h"
#include "support/Layout.h"
#include "support/Probe.h"
#include "support/MessageBoxReader.h"
#include "support/Text.h"
#include "support/UrlLog.h"
#include "support/Wait.h"

namespace {

using e2e::Utf8;

// Without this, "no URL was opened" would hold even for a program that opened one.
TEST(Harness, RecorderReceivesUrlsVerbatim) {
    // One at a time: two recorders running at once may append in either order.
    for (const std::wstring& url : {std::wstring(L"http://www.tavro.example/a?b=c&d=e%20f&g=..%2F"),
                                    std::wstring(L"https://www.tavro.example/x?y=1")}) {
        SCOPED_TRACE(Utf8(url));
        e2e::ClearReceivedUrls();
        const auto result =
            reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        ASSERT_GT(result, 32) << "ShellExecuteW returned " << result;
        const e2e::UrlLog log = e2e::CollectReceivedUrls();
        EXPECT_EQ(log.problem, "");
        ASSERT_EQ(log.records.size(), 1u) << e2e::ToString(log);
        EXPECT_EQ(Utf8(log.records[0].url()), Utf8(url)) << e2e::ToString(log.records[0]);
        EXPECT_EQ(log.records[0].argv.size(), 2u) << e2e::ToString(log.records[0]);
    }
}

TEST(Harness, DesktopDownloadsAndDocumentsAreSeparatePlainFolders) {
    wchar_t documents[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)));
    const std::wstring folders[] = {e2e::DesktopFolder(), e2e::DownloadsFolder(), documents};
    for (const std::wstring& folder : folders) {
        EXPECT_TRUE(e2e::FolderExists(folder)) << Utf8(folder);
        EXPECT_FALSE(e2e::IsReparsePoint(folder)) << Utf8(folder) << " is a link, not a folder of its own";
    }
    EXPECT_NE(Utf8(folders[0]), Utf8(folders[1]));
    EXPECT_NE(Utf8(folders[0]), Utf8(folders[2]));
    EXPECT_NE(Utf8(folders[1]), Utf8(folders[2]));
}

// Wine run as root ignores the read-only attribute; run-in-prefix.sh runs it as another user
// so that tests about read-only files mean something.
TEST(Harness, ReadOnlyFilesCannotBeOverwritten) {
    const std::wstring folder = e2e::DownloadsFolder();
    const std::wstring source = folder + L"\\source.txt";
    const std::wstring target = folder + L"\\read-only.txt";
    for (const std::wstring& path : {source, target}) {
        tavro::UniqueHandle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file) << Utf8(path) << ": " << e2e::DescribeError(GetLastError());
    }
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY)) << e2e::DescribeError(GetLastError());
    const BOOL copied = CopyFileW(source.c_str(), target.c_str(), FALSE);
    const DWORD error = GetLastError();
    EXPECT_FALSE(copied) << "a read-only file was overwritten";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED)) << e2e::DescribeError(error);
}

// Every process of the prefix shares one 1024x768 Wine desktop, so focus and activation work
// without a window manager.
TEST(Harness, RunsInsideTheVirtualDesktop) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "screen width";
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768) << "screen height";
}

// Why no case starts Tavro as "...\Desktop\\Tavro_5.exe": Wine collapses the doubled separator
// before the program sees its own path, so the program really is in the desktop folder. If
// this ever fails, such a start has become possible and deserves a case of its own.
TEST(Harness, WineCollapsesADoubledSeparatorInTheStartPath) {
    const std::wstring desktop = e2e::DesktopFolder();
    std::string error;
    ASSERT_FALSE(e2e::InstallCopy(e2e::layout::kProbe, desktop, L"probe_5.exe", &error).empty()) << error;
    const e2e::ProbeReport report = e2e::RunProbe({desktop + L"\\\\probe_5.exe"});
    ASSERT_EQ(report.error, "");
    EXPECT_EQ(Utf8(report.modulePath), Utf8(desktop + L"\\probe_5.exe"));
}

struct ShownBox {
    std::wstring title;
    UINT style = 0;
    int pressed = 0;
};

DWORD WINAPI ShowBox(void* param) {
    auto* box = static_cast<ShownBox*>(param);
    box->pressed = MessageBoxW(nullptr, L"本文", box->title.c_str(), MB_OK | box->style);
    return 0;
}

// The reader must tell stock icons apart, or an "exclamation" verdict proves nothing.
TEST(Harness, MessageBoxReaderTellsIconsApart) {
    const struct {
        UINT style;
        e2e::StockIcon expected;
    } cases[] = {
        {MB_ICONEXCLAMATION, e2e::StockIcon::Exclamation},
        {MB_ICONHAND, e2e::StockIcon::Hand},
        {MB_ICONASTERISK, e2e::StockIcon::Asterisk},
        {0, e2e::StockIcon::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(e2e::ToString(c.expected));
        // Leaked on purpose if the box never closes: its thread may still write to it.
        auto* shown = new ShownBox{L"harness box " + std::to_wstring(c.style), c.style, 0};
        tavro::UniqueHandle thread(CreateThread(nullptr, 0, ShowBox, shown, 0, nullptr));
        ASSERT_TRUE(thread) << e2e::DescribeError(GetLastError());
        const HWND box = e2e::WaitForMessageBox(GetCurrentProcessId(), std::chrono::seconds(5));
        ASSERT_NE(box, nullptr) << "no message box appeared";
        const e2e::MessageBoxContents contents = e2e::ReadMessageBox(box, std::chrono::seconds(2));
        EXPECT_EQ(Utf8(contents.title), Utf8(shown->title));
        EXPECT_EQ(Utf8(contents.text), "本文");
        EXPECT_EQ(contents.hasIcon, c.expected != e2e::StockIcon::None) << contents.iconDetail;
        EXPECT_STREQ(e2e::ToString(contents.icon), e2e::ToString(c.expected)) << contents.iconDetail;
        std::string error;
        ASSERT_TRUE(e2e::PressButton(contents, L"OK", &error)) << error;
        ASSERT_EQ(WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0) << "the box did not close after OK";
        EXPECT_EQ(shown->pressed, IDOK);
        delete shown;
    }
}

}  // namespace
