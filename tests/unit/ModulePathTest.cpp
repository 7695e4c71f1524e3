#include <gtest/gtest.h>

#include "platform/ModulePath.h"

namespace tavro {
namespace {

struct PathCase {
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* name;
};

const PathCase kPaths[] = {
    {L"C:\\Users\\hana\\Downloads\\Tavro_12345.exe", L"C:\\Users\\hana\\Downloads", L"Tavro_12345"},
    {L"C:\\Tavro_1.exe", L"C:\\", L"Tavro_1"},  // a drive root keeps its separator
    {L"\\\\server\\share\\Tavro_2.exe", L"\\\\server\\share", L"Tavro_2"},
    {L"C:\\a.b\\Tavro_3", L"C:\\a.b", L"Tavro_3"},                  // no extension; the folder's dot is not one
    {L"C:\\x\\Tavro.v2_5.exe", L"C:\\x", L"Tavro.v2_5"},            // only the last dot starts the extension
    {L"C:\\x\\Tavro_6.com", L"C:\\x", L"Tavro_6"},                  // any extension, not only .exe
    {L"C:\\PROGRA~1\\TAVRO_~1.EXE", L"C:\\PROGRA~1", L"TAVRO_~1"},  // short names come through as they are
    {L"C:\\\u30BD\u8868\\Tavro_7.exe", L"C:\\\u30BD\u8868", L"Tavro_7"},
};

TEST(ModulePath, SplitsFolderAndNameWithoutExtension) {
    for (const PathCase& c : kPaths) {
        const ModulePathParts parts = SplitModulePath(c.path);
        EXPECT_EQ(parts.folder, std::wstring(c.folder)) << "for index " << (&c - kPaths);
        EXPECT_EQ(parts.name, std::wstring(c.name)) << "for index " << (&c - kPaths);
    }
}

}  // namespace
}  // namespace tavro
