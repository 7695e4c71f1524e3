#include "support/CopyFixture.h"

#include "platform/TemporaryName.h"
#include "support/FileCompare.h"
#include "support/Folders.h"
#include "support/Text.h"
#include "support/UrlLog.h"

namespace e2e {

std::string Printed(const Names& names) {
    return ToString(names);
}

void CopyFixture::SetUp() {
    ClearReceivedUrls();
    desktop_ = DesktopFolder();
    downloads_ = DownloadsFolder();
    ASSERT_FALSE(desktop_.empty()) << "SHGetFolderPathW(CSIDL_DESKTOP) failed";
    ASSERT_FALSE(downloads_.empty()) << "no Downloads folder";
    ASSERT_EQ(Printed(NamesIn(desktop_)), Printed({})) << "the desktop of a fresh prefix: " << DescribeFolder(desktop_);
}

void CopyFixture::StartFromDownloads(const std::wstring& fileName) {
    ASSERT_NO_FATAL_FAILURE(e2e::StartFromDownloads(fileName, &main_));
    program_ = main_.program;
}

void CopyFixture::CopyExpecting(const Box& box) {
    ASSERT_NO_FATAL_FAILURE(e2e::CopyExpecting(main_, box));
}

void CopyFixture::Close() {
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectEnd(main_));
}

testing::AssertionResult CopyFixture::DesktopHolds(const Names& names) const {
    const std::string holds = Printed(NamesIn(desktop_));
    if (holds == Printed(names)) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "the desktop holds " << holds << ", expected " << Printed(names)
                                       << "; desktop contents: " << DescribeFolder(desktop_);
}

unsigned long long StartOf(HANDLE process) {
    FILETIME created = {};
    FILETIME exited = {};
    FILETIME kernel = {};
    FILETIME user = {};
    EXPECT_TRUE(GetProcessTimes(process, &created, &exited, &kernel, &user)) << DescribeError(GetLastError());
    return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

std::wstring TemporaryOf(const std::wstring& folder, HANDLE process) {
    return folder + L"\\" + tavro::TemporaryFileName(GetProcessId(process), StartOf(process));
}

}  // namespace e2e
