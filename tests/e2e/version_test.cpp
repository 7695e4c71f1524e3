// What Windows reads from the shipped Tavro.exe without running it: the PE header, the version
// record shown in the file's properties, the program icon, and the manifest.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/UniqueResource.h"
#include "support/Layout.h"
#include "support/Text.h"

namespace {

using e2e::Utf8;

// version.dll is loaded by hand: the driver links only what the harness gives it.
class VersionApi {
  public:
    VersionApi() : dll_(LoadLibraryW(L"version.dll")) {
        if (dll_) {
            sizeOf_ = Load<decltype(&GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
            read_ = Load<decltype(&GetFileVersionInfoW)>("GetFileVersionInfoW");
            query_ = Load<decltype(&VerQueryValueW)>("VerQueryValueW");
        }
    }
    bool Loaded() const { return sizeOf_ != nullptr && read_ != nullptr && query_ != nullptr; }

    // The whole version record of the file; empty on failure, with the reason in *error.
    std::vector<BYTE> Read(const wchar_t* path, std::string* error) const {
        DWORD ignored = 0;
        const DWORD size = sizeOf_(path, &ignored);
        if (size == 0) {
            *error = "GetFileVersionInfoSizeW: " + e2e::DescribeError(GetLastError());
            return {};
        }
        std::vector<BYTE> record(size);
        if (!read_(path, 0, size, record.data())) {
            *error = "GetFileVersionInfoW: " + e2e::DescribeError(GetLastError());
            return {};
        }
        return record;
    }

    // The value at subBlock, or nullptr when absent.
    const void* Query(const std::vector<BYTE>& record, const std::wstring& subBlock, UINT* length) const {
        void* value = nullptr;
        *length = 0;
        return query_(record.data(), subBlock.c_str(), &value, length) ? value : nullptr;
    }

  private:
    template <typename Function>
    Function Load(const char* name) {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll_.get(), name)));
    }

    tavro::UniqueModule dll_;
    decltype(&GetFileVersionInfoSizeW) sizeOf_ = nullptr;
    decltype(&GetFileVersionInfoW) read_ = nullptr;
    decltype(&VerQueryValueW) query_ = nullptr;
};

std::string Hex(DWORD value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*lX", digits, static_cast<unsigned long>(value));
    return text;
}

std::string Version(DWORD high, DWORD low) {
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) + "." +
           std::to_string(LOWORD(low));
}

// The record as Explorer's Details page reads it: the fixed part, then the strings of the first
// (here the only) translation the file lists. Strings whose values are the maker's own show as
// "(set)"; only that they are there matters.
TEST(VersionRecord, ReadsAsExplorerShowsIt) {
    const VersionApi api;
    ASSERT_TRUE(api.Loaded()) << "version.dll or its functions are missing";
    std::string error;
    const std::vector<BYTE> record = api.Read(e2e::layout::kShipped, &error);
    ASSERT_FALSE(record.empty()) << "no version record in Tavro.exe: " << error;

    std::string shown;
    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(api.Query(record, L"\\", &length));
    ASSERT_TRUE(fixed != nullptr && length >= sizeof(VS_FIXEDFILEINFO)) << "no VS_FIXEDFILEINFO";
    shown += "signature " + Hex(fixed->dwSignature, 8) + ", file " +
             Version(fixed->dwFileVersionMS, fixed->dwFileVersionLS) + ", product " +
             Version(fixed->dwProductVersionMS, fixed->dwProductVersionLS) + ", OS " + Hex(fixed->dwFileOS, 8) +
             ", type " + Hex(fixed->dwFileType, 8) + "\n";

    const auto* pairs = static_cast<const WORD*>(api.Query(record, L"\\VarFileInfo\\Translation", &length));
    ASSERT_TRUE(pairs != nullptr && length >= 4) << "no \\VarFileInfo\\Translation";
    const std::string translation = Hex(pairs[0], 4) + Hex(pairs[1], 4);
    shown += "translations " + std::to_string(length / 4) + ", first " + translation + "\n";

    const std::pair<const wchar_t*, bool> strings[] = {
        {L"FileDescription", true}, {L"FileVersion", true},     {L"ProductName", true},
        {L"ProductVersion", true},  {L"LegalTrademarks", true}, {L"CompanyName", false},
        {L"LegalCopyright", false}, {L"InternalName", false},   {L"OriginalFilename", false},
    };
    for (const auto& [name, exact] : strings) {
        const auto* text = static_cast<const wchar_t*>(
            api.Query(record, L"\\StringFileInfo\\" + e2e::Wide(translation) + L"\\" + name, &length));
        const std::wstring value = text == nullptr ? L"(missing)" : std::wstring(text, wcsnlen(text, length));
        shown += Utf8(name) + ": " + (exact || value.empty() || text == nullptr ? Utf8(value) : "(set)") + "\n";
    }

    // Version 1.0.0.0 of a Win32 application (VOS__WINDOWS32, VFT_APP); Japanese (0x0411) in
    // Unicode (code page 1200, 0x04B0).
    EXPECT_EQ(shown,
              "signature FEEF04BD, file 1.0.0.0, product 1.0.0.0, OS 00000004, type 00000001\n"
              "translations 1, first 041104B0\n"
              "FileDescription: Tavroをブラウザで開きます\n"
              "FileVersion: 1.00\n"
              "ProductName: Tavro Shell\n"
              "ProductVersion: 1.00\n"
              "LegalTrademarks: Tavro Shell\n"
              "CompanyName: (set)\n"
              "LegalCopyright: (set)\n"
              "InternalName: (set)\n"
              "OriginalFilename: (set)\n");
}

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

std::string NameOf(LPCWSTR name) {
    return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : "\"" + Utf8(name) + "\"";
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    reinterpret_cast<std::vector<std::string>*>(param)->push_back(NameOf(name));
    return TRUE;
}

std::string Join(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        out += (out.empty() ? "" : ", ") + name;
    }
    return "[" + out + "]";
}

BOOL CALLBACK CollectType(HMODULE, LPWSTR type, LONG_PTR param) {
    // Names that are strings live in the module; the ids are what the checks need.
    if (IS_INTRESOURCE(type)) {
        reinterpret_cast<std::vector<WORD>*>(param)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type)));
    }
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<LANGID>*>(param)->push_back(language);
    return TRUE;
}

constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr LANGID kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

// The values of the manifest's dpiAwareness element, in order, each without the spaces around it.
std::vector<std::string> DpiAwarenessList(const std::string& manifest) {
    std::vector<std::string> values;
    const std::size_t element = manifest.find("<dpiAwareness");
    const std::size_t begin = element == std::string::npos ? element : manifest.find('>', element);
    const std::size_t end = begin == std::string::npos ? begin : manifest.find("</dpiAwareness>", begin);
    if (end == std::string::npos) {
        return values;
    }
    const std::string text = manifest.substr(begin + 1, end - begin - 1);
    for (std::size_t at = 0; at <= text.size();) {
        std::size_t comma = text.find(',', at);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        const std::string value = text.substr(at, comma - at);
        const std::size_t first = value.find_first_not_of(" \t\r\n");
        const std::size_t last = value.find_last_not_of(" \t\r\n");
        values.push_back(first == std::string::npos ? std::string() : value.substr(first, last - first + 1));
        at = comma + 1;
    }
    return values;
}

class ProgramResources : public testing::Test {
  protected:
    void SetUp() override {
        exe_.reset(
            LoadLibraryExW(e2e::layout::kShipped, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(exe_) << "cannot open Tavro.exe for its resources: " << e2e::DescribeError(GetLastError());
    }

    std::vector<std::string> Names(LPCWSTR type) const {
        std::vector<std::string> names;
        EnumResourceNamesW(exe_.get(), type, CollectName, reinterpret_cast<LONG_PTR>(&names));
        return names;
    }

    // The resource's bytes in language (by default the file's own, Japanese); empty if it is absent.
    std::string Bytes(LPCWSTR type, WORD id, LANGID language = kJapanese) const {
        const HRSRC found = FindResourceExW(exe_.get(), type, MAKEINTRESOURCEW(id), language);
        if (found == nullptr) {
            return {};
        }
        const auto* data = static_cast<const char*>(LockResource(LoadResource(exe_.get(), found)));
        return data == nullptr ? std::string() : std::string(data, SizeofResource(exe_.get(), found));
    }

    std::vector<LANGID> Languages(LPCWSTR type, LPCWSTR name) const {
        std::vector<LANGID> languages;
        EnumResourceLanguagesW(exe_.get(), type, name, CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
        return languages;
    }

    tavro::UniqueModule exe_;
};

// A resource's name as EnumResourceNamesW gives it: an id, or a string (the program has none).
struct ResourceName {
    WORD id = 0;
    std::wstring text;
    LPCWSTR Key() const { return text.empty() ? MAKEINTRESOURCEW(id) : text.c_str(); }
    std::string Printed() const { return text.empty() ? std::to_string(id) : "\"" + Utf8(text) + "\""; }
};

BOOL CALLBACK CollectResourceName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    auto* names = reinterpret_cast<std::vector<ResourceName>*>(param);
    names->push_back(IS_INTRESOURCE(name) ? ResourceName{static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)), {}}
                                          : ResourceName{0, name});
    return TRUE;
}

// Every resource is Japanese but the two manifests, which are neutral: an activation context
// falls back to the neutral language after the user's and the system's, and to no other.
TEST_F(ProgramResources, ManifestsNeutralEverythingElseJapanese) {
    std::vector<WORD> types;
    ASSERT_TRUE(EnumResourceTypesW(exe_.get(), CollectType, reinterpret_cast<LONG_PTR>(&types)))
        << e2e::DescribeError(GetLastError());
    const WORD manifestType = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(RT_MANIFEST));
    std::string wrong;
    int manifests = 0;
    for (const WORD type : types) {
        std::vector<ResourceName> names;
        EnumResourceNamesW(exe_.get(), MAKEINTRESOURCEW(type), CollectResourceName, reinterpret_cast<LONG_PTR>(&names));
        const LANGID expected = type == manifestType ? kNeutral : kJapanese;
        for (const ResourceName& name : names) {
            for (const LANGID language : Languages(MAKEINTRESOURCEW(type), name.Key())) {
                manifests += type == manifestType && language == kNeutral ? 1 : 0;
                if (language != expected) {
                    wrong += "type " + std::to_string(type) + " name " + name.Printed() + ": language " +
                             Hex(language, 4) + ", expected " + Hex(expected, 4) + "\n";
                }
            }
        }
    }
    EXPECT_EQ(wrong, "") << "resources in another language";
    EXPECT_EQ(manifests, 2) << "neutral RT_MANIFEST resources";
}

TEST_F(ProgramResources, OneIconGroupWithOne32x32x8Image) {
    EXPECT_EQ(Join(Names(RT_GROUP_ICON)), "[1]") << "RT_GROUP_ICON names";
    EXPECT_EQ(Join(Names(RT_ICON)), "[30001]") << "RT_ICON names";

    const std::string group = Bytes(RT_GROUP_ICON, 1);
    ASSERT_GE(group.size(), sizeof(GroupIconHeader)) << "RT_GROUP_ICON 1 size";
    GroupIconHeader header = {};
    std::memcpy(&header, group.data(), sizeof header);
    EXPECT_EQ(header.type, 1) << "group type (1: icon)";
    ASSERT_EQ(header.count, 1) << "images in the group";
    ASSERT_GE(group.size(), sizeof header + sizeof(GroupIconEntry)) << "RT_GROUP_ICON 1 size";
    GroupIconEntry entry = {};
    std::memcpy(&entry, group.data() + sizeof header, sizeof entry);
    EXPECT_EQ(entry.id, 30001) << "image id named by the group";
    EXPECT_EQ(entry.width, 32) << "group entry width";
    EXPECT_EQ(entry.height, 32) << "group entry height";
    EXPECT_EQ(entry.bitCount, 8) << "group entry bits per pixel";

    const std::string image = Bytes(RT_ICON, 30001);
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER)) << "RT_ICON 30001 size";
    BITMAPINFOHEADER bitmap = {};
    std::memcpy(&bitmap, image.data(), sizeof bitmap);
    EXPECT_EQ(bitmap.biSize, sizeof(BITMAPINFOHEADER)) << "image header size (a DIB, not PNG)";
    EXPECT_EQ(bitmap.biWidth, 32) << "image width";
    EXPECT_EQ(bitmap.biHeight, 64) << "image height (colour and mask rows)";
    EXPECT_EQ(bitmap.biBitCount, 8) << "image bits per pixel";
    EXPECT_EQ(entry.bytesInRes, image.size()) << "group entry size against the image";
}

// The process's own manifest leaves the common controls out, so that the window's buttons are
// user32's; a second manifest holds the version 6 dependency for the message boxes alone.
TEST_F(ProgramResources, ManifestsKeepTheCommonControlsApartFromTheProcess) {
    const std::vector<std::string> names = Names(RT_MANIFEST);
    ASSERT_EQ(names.size(), 2u) << "RT_MANIFEST names: " << Join(names);
    EXPECT_EQ(names.front(), "1") << "the process's manifest; RT_MANIFEST names: " << Join(names);
    const std::string manifest = Bytes(RT_MANIFEST, 1, kNeutral);
    ASSERT_FALSE(manifest.empty()) << "no RT_MANIFEST 1";
    EXPECT_NE(manifest.find("<dpiAware>true</dpiAware>"), std::string::npos) << manifest;
    // Windows 10 reads dpiAwareness from 1607 on and takes the first value of the list it knows:
    // per-monitor version 2 from 1703 on, version 1 on 1607, which does not know version 2 and
    // would otherwise run the program unaware. Wine 8 takes the first value it knows too, so only
    // Windows 10 1607 itself could show the second one taken.
    EXPECT_EQ(Join(DpiAwarenessList(manifest)), "[PerMonitorV2, PerMonitor]") << manifest;
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos)
        << "the process's manifest names the common controls:\n"
        << manifest;

    // The other one, under an id of the program's choosing, names Common-Controls 6.0.0.0 in one
    // assemblyIdentity element of its dependency.
    const std::string other = names.back();
    ASSERT_TRUE(!other.empty() && other.find_first_not_of("0123456789") == std::string::npos)
        << "the second manifest's name is not a number: " << other;
    const std::string controls = Bytes(RT_MANIFEST, static_cast<WORD>(std::stoi(other)), kNeutral);
    ASSERT_FALSE(controls.empty()) << "no RT_MANIFEST " << other;
    const std::size_t dependent = controls.find("<dependentAssembly>");
    ASSERT_NE(dependent, std::string::npos) << "no dependentAssembly:\n" << controls;
    const std::size_t identity = controls.find("<assemblyIdentity", dependent);
    const std::size_t identityEnd = controls.find("/>", identity);
    ASSERT_NE(identityEnd, std::string::npos) << "no assemblyIdentity in the dependency:\n" << controls;
    const std::string element = controls.substr(identity, identityEnd - identity);
    for (const char* attribute : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                                  "publicKeyToken=\"6595b64144ccf1df\"", "type=\"win32\""}) {
        EXPECT_NE(element.find(attribute), std::string::npos) << "expected " << attribute << " in " << element;
    }

    std::vector<std::string> supported;
    for (std::size_t at = manifest.find("<supportedOS"); at != std::string::npos;
         at = manifest.find("<supportedOS", at + 1)) {
        supported.push_back(manifest.substr(at, manifest.find('>', at) - at + 1));
    }
    EXPECT_FALSE(supported.empty()) << "no supportedOS entries:\n" << manifest;
    for (const std::string& entry : supported) {
        EXPECT_NE(entry.find("Id=\"{"), std::string::npos) << "supportedOS without a GUID: " << entry;
    }
}

}  // namespace
