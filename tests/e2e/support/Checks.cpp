#include "support/Checks.h"

#include <gtest/gtest.h>

#include "support/MessageBoxReader.h"
#include "support/Session.h"
#include "support/Text.h"

#ifndef TAVRO_E2E_SITE_HOST
#error "TAVRO_E2E_SITE_HOST must name the site host the build was configured with"
#endif

namespace e2e {

std::wstring LaunchUrl(const std::wstring& number) {
    return L"http://" + Wide(TAVRO_E2E_SITE_HOST) + L"/tavrosite/gate?bn=varnoquill0&ul=mhp?mi=" + number;
}

void ExpectSiteOpened(const LaunchOptions& options, const std::wstring& number) {
    const RunOutcome outcome = RunUntilExit(options);
    ASSERT_EQ(outcome.startError, "");
    EXPECT_TRUE(outcome.windows.exited) << "expected the program to end by itself within " << kEndBound.count()
                                        << " ms; it was still running";
    if (outcome.windows.exited) {
        EXPECT_EQ(outcome.windows.exitCode, 0u) << "exit code";
    }
    EXPECT_FALSE(outcome.windows.anyVisible())
        << "expected no visible window; seen: " << ToString(outcome.windows.seen);
    EXPECT_EQ(outcome.urls.problem, "");
    ASSERT_EQ(outcome.urls.records.size(), 1u) << "expected exactly one URL; got " << ToString(outcome.urls);
    const ReceivedUrl& received = outcome.urls.records.front();
    EXPECT_EQ(Utf8(received.url()), Utf8(LaunchUrl(number))) << "whole record: " << ToString(received);
    // The handler is registered as "recorder" "%1": one argument, the URL, nothing appended.
    EXPECT_EQ(received.argv.size(), 2u) << "argument count; whole record: " << ToString(received);
    EXPECT_EQ(Utf8(received.commandTail), Utf8(L"\"" + LaunchUrl(number) + L"\""))
        << "command line after the handler's path";
}

void ExpectNumberWarning(const LaunchOptions& options) {
    std::string error;
    StartedProcess process = StartedProcess::Start(options, &error);
    ASSERT_TRUE(process) << error;

    const HWND box = WaitForMessageBox(process.Id(), kStartBound);
    ASSERT_NE(box, nullptr) << "expected a message box within " << kStartBound.count()
                            << " ms; windows now: " << ToString([&] {
                                   std::vector<WindowInfo> now;
                                   for (HWND w : TopLevelWindowsOf(process.Id())) {
                                       now.push_back(Describe(w));
                                   }
                                   return now;
                               }())
                            << (process.IsRunning() ? "" : " (the process has ended)");

    // The start from the desktop makes no window of its own, hidden or not: the box stands alone.
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "the warning has an owner";
    for (HWND w : TopLevelWindowsOf(process.Id())) {
        EXPECT_NE(ClassNameOf(w), L"TavroForm") << "a main window exists beside the warning: " << ToString(Describe(w));
    }

    const MessageBoxContents contents = ReadMessageBox(box);
    EXPECT_EQ(Utf8(contents.title), "Tavro") << "title";
    EXPECT_EQ(Utf8(contents.text), "番号を今一度お確かめ下さい。") << "text";
    EXPECT_TRUE(contents.hasIcon) << "expected an icon: " << contents.iconDetail;
    EXPECT_STREQ(ToString(contents.icon), ToString(StockIcon::Exclamation)) << contents.iconDetail;
    std::string buttons;
    for (const std::wstring& caption : contents.buttons) {
        buttons += (buttons.empty() ? "\"" : ", \"") + Utf8(caption) + "\"";
    }
    EXPECT_EQ(buttons, "\"OK\"") << "buttons";

    ASSERT_TRUE(PressButton(contents, L"OK", &error)) << error;
    const std::optional<DWORD> exitCode = process.WaitForExit(kEndBound);
    ASSERT_TRUE(exitCode.has_value()) << "expected the program to end after OK within " << kEndBound.count()
                                      << " ms; it was still running";
    EXPECT_EQ(*exitCode, 0u) << "exit code";

    const UrlLog urls = CollectReceivedUrls();
    EXPECT_EQ(urls.problem, "");
    EXPECT_TRUE(urls.records.empty()) << "expected no URL; got " << ToString(urls);
}

void ExpectMainWindow(const LaunchOptions& options) {
    std::string error;
    StartedProcess process = StartedProcess::Start(options, &error);
    ASSERT_TRUE(process) << error;

    const HWND window =
        WaitForVisibleWindow(process.Id(), kStartBound, [](HWND candidate) { return !IsMessageBox(candidate); });
    std::vector<WindowInfo> shown;
    for (HWND w : TopLevelWindowsOf(process.Id())) {
        shown.push_back(Describe(w));
    }
    EXPECT_NE(window, nullptr) << "expected a main window within " << kStartBound.count()
                               << " ms; windows now: " << ToString(shown)
                               << (process.IsRunning() ? "" : " (the process has ended)");
    if (window != nullptr) {
        EXPECT_EQ(Utf8(TitleOf(window)), "TavroModule") << "main window caption";
    }
    EXPECT_TRUE(process.IsRunning()) << "a windowed start must keep running until the user closes it";

    // Launching would have happened before the window showed; collect whatever reached the shell.
    const UrlLog urls = CollectReceivedUrls();
    EXPECT_EQ(urls.problem, "");
    EXPECT_TRUE(urls.records.empty()) << "expected no URL; got " << ToString(urls);
}

}  // namespace e2e
