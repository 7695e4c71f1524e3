#include <gtest/gtest.h>

#include "launcher/PathText.h"

namespace tavro {
namespace {

TEST(JoinPath, PutsOneSeparatorBetweenFolderAndName) {
    struct Case {
        const wchar_t* folder;
        const wchar_t* joined;
    };
    const Case cases[] = {
        {L"C:\\Users\\hana\\Desktop", L"C:\\Users\\hana\\Desktop\\x.exe"},
        {L"C:\\Users\\hana\\Desktop\\", L"C:\\Users\\hana\\Desktop\\x.exe"},  // a desktop registered so
        {L"C:\\", L"C:\\x.exe"},                                              // drive root
        {L"\\\\srv\\share", L"\\\\srv\\share\\x.exe"},                        // share root
        {L"\\\\srv\\share\\", L"\\\\srv\\share\\x.exe"},                      //
        {L"\\\\?\\C:\\Desktop", L"\\\\?\\C:\\Desktop\\x.exe"},                // extended-length form
        {L"C:/Users/hana/Desktop/", L"C:/Users/hana/Desktop/x.exe"},          // the other separator
        {L"D:\\\u8868\u30BD", L"D:\\\u8868\u30BD\\x.exe"},                    // ends in Shift-JIS 0x5C trail bytes
        {L"", L"\\x.exe"},                                                    // callers must not join ""
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.folder)));
        EXPECT_EQ(JoinPath(c.folder, L"x.exe"), std::wstring(c.joined));
    }
}

TEST(HasExeExtension, LooksAtTheExtensionOfTheFileNameOnly) {
    struct Case {
        const wchar_t* path;
        bool exe;
    };
    const Case cases[] = {
        {L"C:\\d\\Tavro_5.exe", true},
        {L"C:\\d\\Tavro_5.EXE", true},
        {L"C:\\d\\Tavro_5.ExE", true},
        {L"C:\\d\\Tavro_5.v2.exe", true},
        {L"Tavro_5.exe", true},
        {L"C:\\d\\.exe", true},
        {L"C:\\d\\Tavro_5.scr", false},
        {L"C:\\d\\Tavro_5", false},
        {L"C:\\d.exe\\Tavro_5", false},  // the folder's extension is not the file's
        {L"C:/d.exe/Tavro_5", false},
        {L"C:\\d\\Tavro_5.exe.bak", false},
        {L"C:\\d\\Tavro_5.exex", false},
        {L"C:\\d\\Tavro_5.ex", false},
        {L"C:\\d\\Tavro_5exe", false},
        {L"C:\\d\\Tavro_5.\uFF25\uFF38\uFF25", false},  // full-width letters
        {L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.path)));
        EXPECT_EQ(HasExeExtension(c.path), c.exe);
    }
}

}  // namespace
}  // namespace tavro
