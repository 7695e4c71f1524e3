// DLLs with the names of system DLLs, dropped beside a downloaded copy, must never be loaded.
#include <windows.h>

#include <tlhelp32.h>

#include <cctype>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/DllOverrides.h"
#include "support/Folders.h"
#include "platform/UniqueResource.h"
#include "support/Layout.h"
#include "support/Probe.h"
#include "support/ScreenReader.h"
#include "support/Tavro.h"
#include "support/Text.h"
#include "support/UrlLog.h"

namespace {

using e2e::Utf8;

// Paths compare as Windows compares them, whatever the case.
std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// oleacc and oleaut32 load in Tavro only when a screen reader asks; the case below asks.
const std::vector<std::wstring> kPlanted = {L"msimg32", L"uxtheme", L"dwmapi", L"shfolder", L"oleacc", L"oleaut32"};

class DllPlanting : public testing::Test {
  protected:
    void SetUp() override {
        e2e::ClearReceivedUrls();
        for (const std::wstring& name : kPlanted) {
            DeleteFileW(Marker(name).c_str());
        }
    }

    static std::wstring Marker(const std::wstring& name) {
        return std::wstring(e2e::layout::kPlantedMarkers) + L"\\" + name + L".loaded";
    }

    // Drops every marker DLL into folder.
    static void PlantInto(const std::wstring& folder) {
        for (const std::wstring& name : kPlanted) {
            std::string error;
            ASSERT_FALSE(e2e::InstallCopy(std::wstring(e2e::layout::kPlantSource) + L"\\" + name + L".dll", folder,
                                          name + L".dll", &error)
                             .empty())
                << error;
        }
    }

    // Each planted DLL that was loaded, with the program that loaded it (the marker's content).
    static std::string MarkersFound() {
        std::string found;
        for (const std::wstring& name : kPlanted) {
            tavro::UniqueHandle marker(CreateFileW(Marker(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!marker) {
                continue;
            }
            wchar_t host[MAX_PATH] = {};
            DWORD read = 0;
            ReadFile(marker.get(), host, sizeof host - sizeof(wchar_t), &read, nullptr);
            found += (found.empty() ? "" : ", ") + Utf8(name) + ".dll (into " + Utf8(host) + ")";
        }
        return found;
    }

    // Where the process has that DLL loaded from, or "" when it has not.
    static std::string LoadedFrom(DWORD processId, const std::wstring& fileName) {
        tavro::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
        if (!snapshot) {
            return "(no module list: " + e2e::DescribeError(GetLastError()) + ")";
        }
        MODULEENTRY32W module{};
        module.dwSize = sizeof module;
        for (BOOL more = Module32FirstW(snapshot.get(), &module); more; more = Module32NextW(snapshot.get(), &module)) {
            if (lstrcmpiW(module.szModule, fileName.c_str()) == 0) {
                return Utf8(module.szExePath);
            }
        }
        return "";
    }

    std::wstring InstallPlanted(const std::wstring& folder, const std::wstring& fileName) {
        std::string error;
        const std::wstring path = e2e::InstallTavro(folder, fileName, &error);
        EXPECT_FALSE(path.empty()) << error;
        PlantInto(folder);
        return path;
    }
};

// The control: a program that loads a DLL by bare name, with no restriction on where it is
// looked for, does pick up the planted copy, so a missing marker below means something.
TEST_F(DllPlanting, MarkersFireForAnUnrestrictedLoad) {
    const std::wstring downloads = e2e::DownloadsFolder();
    ASSERT_FALSE(downloads.empty());
    ASSERT_NO_FATAL_FAILURE(PlantInto(downloads));
    std::string error;
    const std::wstring probe = e2e::InstallCopy(e2e::layout::kProbe, downloads, L"probe.exe", &error);
    ASSERT_FALSE(probe.empty()) << error;
    // Wine prefers its own copy of most DLLs; "native first" makes it behave like Windows,
    // where a DLL found in the program's folder wins.
    const e2e::NativeFirstFor nativeFirst(L"probe.exe", kPlanted);
    ASSERT_TRUE(nativeFirst.Applied()) << nativeFirst.Error();
    e2e::LaunchOptions options(probe);
    options.arguments = L"--load uxtheme.dll --load oleacc.dll";
    const e2e::ProbeReport report = e2e::RunProbe(options);
    ASSERT_EQ(report.error, "");
    EXPECT_TRUE(e2e::FileExists(Marker(L"uxtheme")))
        << "expected the planted uxtheme.dll to be loaded; probe said: "
        << (report.loadResults.empty() ? std::string("nothing") : Utf8(report.loadResults.front()));
    EXPECT_TRUE(e2e::FileExists(Marker(L"oleacc"))) << "expected the planted oleacc.dll to be loaded";
    EXPECT_EQ(report.loadResults.size(), 2u);
}

TEST_F(DllPlanting, NotLoadedBesideADownloadedCopy) {
    const std::wstring downloads = e2e::DownloadsFolder();
    ASSERT_FALSE(downloads.empty());
    const std::wstring path = InstallPlanted(downloads, L"Tavro_5.exe");
    ASSERT_FALSE(path.empty());
    const e2e::NativeFirstFor nativeFirst(L"Tavro_5.exe", kPlanted);
    ASSERT_TRUE(nativeFirst.Applied()) << nativeFirst.Error();
    ASSERT_NO_FATAL_FAILURE(e2e::ExpectMainWindow(path));
    EXPECT_EQ(MarkersFound(), "") << "planted DLLs that were loaded";
}

// A screen reader's first question loads oleacc (and oleaut32, which it needs) into Tavro: from
// the system folder, not the planted copies beside it. The descriptions show that Tavro's own
// answer, which the loaded oleacc made, reached the driver.
TEST_F(DllPlanting, NotLoadedWhenAScreenReaderAsks) {
    const std::wstring downloads = e2e::DownloadsFolder();
    ASSERT_FALSE(downloads.empty());
    const std::wstring path = InstallPlanted(downloads, L"Tavro_7.exe");
    ASSERT_FALSE(path.empty());
    const e2e::NativeFirstFor nativeFirst(L"Tavro_7.exe", kPlanted);
    ASSERT_TRUE(nativeFirst.Applied()) << nativeFirst.Error();
    e2e::MainWindow main;
    ASSERT_NO_FATAL_FAILURE(e2e::StartMainWindow({path}, &main));
    // A start without a screen reader loads neither.
    EXPECT_EQ(LoadedFrom(main.process.Id(), L"oleacc.dll"), "") << "oleacc.dll before any question";
    EXPECT_EQ(LoadedFrom(main.process.Id(), L"oleaut32.dll"), "") << "oleaut32.dll before any question";
    for (const HWND window : {main.window, main.copy, main.startUp, main.close}) {
        const e2e::AccessibleFacts facts = e2e::ReadClientObject(window);
        EXPECT_EQ(facts.error, "");
        EXPECT_NE(facts.description, L"") << "no description of our own: " << e2e::ToString(facts);
    }
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH);
    for (const std::wstring name : {L"oleacc.dll", L"oleaut32.dll"}) {
        const std::string from = LoadedFrom(main.process.Id(), name);
        const std::string expected = Utf8(std::wstring(system, length) + L"\\" + name);
        EXPECT_EQ(Lower(from), Lower(expected)) << Utf8(name);
    }
    ASSERT_NO_FATAL_FAILURE(e2e::CloseAndExpectEnd(main));
    EXPECT_EQ(MarkersFound(), "") << "planted DLLs that were loaded";
}

TEST_F(DllPlanting, NotLoadedBesideADesktopCopy) {
    const std::wstring path = InstallPlanted(e2e::DesktopFolder(), L"Tavro_6.exe");
    ASSERT_FALSE(path.empty());
    const e2e::NativeFirstFor nativeFirst(L"Tavro_6.exe", kPlanted);
    ASSERT_TRUE(nativeFirst.Applied()) << nativeFirst.Error();
    ASSERT_NO_FATAL_FAILURE(e2e::ExpectSiteOpened(path, L"6"));
    EXPECT_EQ(MarkersFound(), "") << "planted DLLs that were loaded";
}

TEST_F(DllPlanting, NotLoadedWhileWarning) {
    const std::wstring path = InstallPlanted(e2e::DesktopFolder(), L"Tavro_.exe");
    ASSERT_FALSE(path.empty());
    const e2e::NativeFirstFor nativeFirst(L"Tavro_.exe", kPlanted);
    ASSERT_TRUE(nativeFirst.Applied()) << nativeFirst.Error();
    ASSERT_NO_FATAL_FAILURE(e2e::ExpectNumberWarning(path));
    EXPECT_EQ(MarkersFound(), "") << "planted DLLs that were loaded";
}

}  // namespace
