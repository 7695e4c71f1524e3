#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/Tavro.h"

// What the copy command's cases share: the desktop of a fresh prefix, empty, and Tavro started
// from Downloads; and where a copy under way writes its temporary.
namespace e2e {

using Names = std::vector<std::wstring>;
// A list of names as one line, so that a comparison's failure shows both.
std::string Printed(const Names& names);

class CopyFixture : public testing::Test {
  protected:
    void SetUp() override;

    void StartFromDownloads(const std::wstring& fileName);
    void CopyExpecting(const Box& box);
    // The close command must still work after whatever the case did, and end the program cleanly.
    void Close();
    // The desktop holds these names and nothing else; else what it holds, said in full.
    testing::AssertionResult DesktopHolds(const Names& names) const;

    std::wstring desktop_;
    std::wstring downloads_;
    std::wstring program_;
    MainWindow main_;
};

// When a process started, as the program writes it into its temporary's name.
unsigned long long StartOf(HANDLE process);
// Where the program writes a copy before moving it into place: its folder, under the program's rule.
std::wstring TemporaryOf(const std::wstring& folder, HANDLE process);

}  // namespace e2e
