// The PE header, the manifest's architecture and the size, read from the files themselves. Wine starts a
// program whatever architecture its manifest names; Windows refuses one that names another.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FileCompare.h"
#include "platform/UniqueResource.h"
#include "support/Layout.h"
#include "support/Text.h"

namespace {

struct PeFacts {
    std::string machine;  // "x86", "amd64" or the number in hex
    WORD subsystem = 0;
    WORD os_major = 0;  // the Windows version the image asks for, and the subsystem's
    WORD os_minor = 0;
    WORD subsystem_major = 0;
    WORD subsystem_minor = 0;
    WORD characteristics = 0;      // IMAGE_FILE_*
    WORD dll_characteristics = 0;  // IMAGE_DLLCHARACTERISTICS_*
    DWORD relocations_size = 0;    // the base relocation directory
    bool safe_seh_table = false;   // an x86 load configuration that lists the SEH handlers
};

// The architecture names a manifest uses for each machine.
std::string ArchitectureName(WORD machine) {
    switch (machine) {
        case IMAGE_FILE_MACHINE_I386:
            return "x86";
        case IMAGE_FILE_MACHINE_AMD64:
            return "amd64";
        default:
            return "machine " + std::to_string(machine);
    }
}

template <typename T>
bool ReadAt(const std::string& bytes, std::size_t offset, T* value) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) {
        return false;
    }
    std::memcpy(value, bytes.data() + offset, sizeof(T));
    return true;
}

// The file offset of a relative virtual address, through the section table; 0 when no section holds it.
std::size_t FileOffset(const std::string& bytes, std::size_t sections, WORD count, DWORD rva) {
    for (WORD i = 0; i < count; ++i) {
        IMAGE_SECTION_HEADER section{};
        if (!ReadAt(bytes, sections + i * sizeof section, &section)) {
            return 0;
        }
        if (rva >= section.VirtualAddress && rva - section.VirtualAddress < section.SizeOfRawData) {
            return section.PointerToRawData + (rva - section.VirtualAddress);
        }
    }
    return 0;
}

// The 32- and the 64-bit optional header differ in layout past their first fields.
template <typename OptionalHeader>
bool ReadOptionalHeader(const std::string& bytes, std::size_t at, const IMAGE_FILE_HEADER& file, PeFacts* pe) {
    OptionalHeader header{};
    if (file.SizeOfOptionalHeader < offsetof(OptionalHeader, DataDirectory) || !ReadAt(bytes, at, &header)) {
        return false;
    }
    pe->subsystem = header.Subsystem;
    pe->os_major = header.MajorOperatingSystemVersion;
    pe->os_minor = header.MinorOperatingSystemVersion;
    pe->subsystem_major = header.MajorSubsystemVersion;
    pe->subsystem_minor = header.MinorSubsystemVersion;
    pe->dll_characteristics = header.DllCharacteristics;
    const auto directory = [&](int index) {
        return static_cast<DWORD>(index) < header.NumberOfRvaAndSizes ? header.DataDirectory[index]
                                                                      : IMAGE_DATA_DIRECTORY{};
    };
    pe->relocations_size = directory(IMAGE_DIRECTORY_ENTRY_BASERELOC).Size;
    const IMAGE_DATA_DIRECTORY config = directory(IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG);
    IMAGE_LOAD_CONFIG_DIRECTORY32 load_config{};
    const std::size_t config_at =
        FileOffset(bytes, at + file.SizeOfOptionalHeader, file.NumberOfSections, config.VirtualAddress);
    if (file.Machine == IMAGE_FILE_MACHINE_I386 && config.VirtualAddress != 0 && config_at != 0 &&
        ReadAt(bytes, config_at, &load_config) &&
        load_config.Size >= offsetof(IMAGE_LOAD_CONFIG_DIRECTORY32, SEHandlerCount) + sizeof(DWORD)) {
        pe->safe_seh_table = load_config.SEHandlerTable != 0;
    }
    return true;
}

std::optional<PeFacts> ReadPeFacts(const wchar_t* path, std::string* error) {
    const std::optional<std::string> bytes = e2e::ReadWholeFile(path, error);
    if (!bytes) {
        return std::nullopt;
    }
    IMAGE_DOS_HEADER dos{};
    DWORD signature = 0;
    IMAGE_FILE_HEADER file{};
    WORD magic = 0;
    const std::size_t nt = ReadAt(*bytes, 0, &dos) ? static_cast<std::size_t>(dos.e_lfanew) : 0;
    const std::size_t optional = nt + sizeof signature + sizeof file;
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || !ReadAt(*bytes, nt, &signature) || signature != IMAGE_NT_SIGNATURE ||
        !ReadAt(*bytes, nt + sizeof signature, &file) || !ReadAt(*bytes, optional, &magic)) {
        *error = "not a PE file";
        return std::nullopt;
    }
    PeFacts pe;
    pe.machine = ArchitectureName(file.Machine);
    pe.characteristics = file.Characteristics;
    const bool read = magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC
                          ? ReadOptionalHeader<IMAGE_OPTIONAL_HEADER32>(*bytes, optional, file, &pe)
                          : magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC &&
                                ReadOptionalHeader<IMAGE_OPTIONAL_HEADER64>(*bytes, optional, file, &pe);
    if (!read) {
        *error = "no optional header of a known kind";
        return std::nullopt;
    }
    return pe;
}

// The mitigations an x86 program is expected to declare (Microsoft's BinSkim asks for each), by
// the words a failure prints; empty when it declares them all. Wine honours none of these marks,
// so whether Windows then enforces them is for real Windows to show.
std::string MissingMitigations(const PeFacts& pe) {
    std::string missing;
    const auto expect = [&missing](bool present, const char* what) {
        if (!present) {
            missing += missing.empty() ? what : std::string(", ") + what;
        }
    };
    // ASLR moves the image only when it can: the flag without the relocations leaves it in place.
    expect((pe.dll_characteristics & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE) != 0 && pe.relocations_size != 0 &&
               (pe.characteristics & IMAGE_FILE_RELOCS_STRIPPED) == 0,
           "dynamic base with relocations");
    expect((pe.dll_characteristics & IMAGE_DLLCHARACTERISTICS_NX_COMPAT) != 0, "NX compatible");
    expect((pe.dll_characteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE) != 0, "terminal-server aware");
    // Without either, an overwritten exception record on the stack may point at any code in the image.
    expect((pe.dll_characteristics & IMAGE_DLLCHARACTERISTICS_NO_SEH) != 0 || pe.safe_seh_table,
           "NO_SEH or a SafeSEH table");
    return missing;
}

BOOL CALLBACK CollectId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name)) {
        reinterpret_cast<std::vector<WORD>*>(ids)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return TRUE;
}

// processorArchitecture of each manifest's own assemblyIdentity (the first one, before any
// dependency), by resource id: the process's manifest and the one made into an activation context.
std::map<WORD, std::string> ManifestArchitectures(const wchar_t* path, std::string* error) {
    std::map<WORD, std::string> found;
    const tavro::UniqueModule module(
        LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    std::vector<WORD> ids;
    if (!module || !EnumResourceNamesW(module.get(), RT_MANIFEST, CollectId, reinterpret_cast<LONG_PTR>(&ids))) {
        *error = "no manifest: " + e2e::DescribeError(GetLastError());
        return found;
    }
    for (const WORD id : ids) {
        // In the neutral language, where the program keeps its manifests.
        const HRSRC resource =
            FindResourceExW(module.get(), RT_MANIFEST, MAKEINTRESOURCEW(id), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
        const void* data = resource != nullptr ? LockResource(LoadResource(module.get(), resource)) : nullptr;
        const std::string manifest =
            data == nullptr ? std::string()
                            : std::string(static_cast<const char*>(data), SizeofResource(module.get(), resource));
        const std::size_t identity = manifest.find("<assemblyIdentity");
        const std::string attribute = "processorArchitecture=\"";
        const std::size_t at = manifest.find(attribute, identity);
        const std::size_t end = at == std::string::npos ? at : manifest.find('"', at + attribute.size());
        found[id] = identity == std::string::npos || end == std::string::npos || at > manifest.find("/>", identity)
                        ? "(none in:\n" + manifest + ")"
                        : manifest.substr(at + attribute.size(), end - at - attribute.size());
    }
    return found;
}

TEST(ProgramFile, ManifestsNameTheFilesOwnArchitecture) {
    for (const wchar_t* path : {e2e::layout::kShipped, e2e::layout::kTavro}) {
        SCOPED_TRACE(e2e::Utf8(path));
        std::string error;
        const std::optional<PeFacts> pe = ReadPeFacts(path, &error);
        ASSERT_TRUE(pe) << error;
        const std::map<WORD, std::string> manifests = ManifestArchitectures(path, &error);
        ASSERT_FALSE(manifests.empty()) << error;
        for (const auto& [id, architecture] : manifests) {
            EXPECT_EQ(architecture, pe->machine)
                << "manifest " << id << ": Windows would refuse it: the manifest names " << architecture
                << ", but the file is for " << pe->machine;
        }
    }
}

TEST(ProgramFile, ShippedFileIsA32BitWindowsProgram) {
    std::string error;
    const std::optional<PeFacts> pe = ReadPeFacts(e2e::layout::kShipped, &error);
    ASSERT_TRUE(pe) << error;
    EXPECT_EQ(pe->machine, "x86") << "the file users get runs on 32-bit Windows";
    EXPECT_EQ(pe->subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI) << "a window program, not a console one";
}

// Windows 7 (6.1), the oldest Windows the program is for: an image that names less (ld's default
// is NT 4.0) gets the frame metrics of old Windows in compatibility mode, and no heap termination
// on corruption by default. Only real Windows shows those effects; the header is checked here,
// in both builds, and the window tests check the client area they would change.
TEST(ProgramFile, HeaderNamesWindows7) {
    for (const wchar_t* path : {e2e::layout::kShipped, e2e::layout::kTavro}) {
        SCOPED_TRACE(e2e::Utf8(path));
        std::string error;
        const std::optional<PeFacts> pe = ReadPeFacts(path, &error);
        ASSERT_TRUE(pe) << error;
        EXPECT_EQ(std::to_string(pe->os_major) + "." + std::to_string(pe->os_minor), "6.1")
            << "the operating system version in the header";
        EXPECT_EQ(std::to_string(pe->subsystem_major) + "." + std::to_string(pe->subsystem_minor), "6.1")
            << "the subsystem version in the header";
    }
}

TEST(ProgramFile, ShippedFileDeclaresTheMitigationsWindowsExpects) {
    std::string error;
    const std::optional<PeFacts> pe = ReadPeFacts(e2e::layout::kShipped, &error);
    ASSERT_TRUE(pe) << error;
    EXPECT_EQ(MissingMitigations(*pe), "") << "the shipped file lacks: " << MissingMitigations(*pe);
}

// Every customer downloads the file, and a virus scanner reads it whole before its first start.
// Most of what once filled it was the C++ runtime's exception machinery, which the program does
// without: its verbose terminate handler, whose message would be the first sign of it coming back.
TEST(ProgramFile, ShippedFileFitsTheDownloadBudget) {
    constexpr std::size_t kBudget = 256 * 1024;
    std::string error;
    const std::optional<std::string> bytes = e2e::ReadWholeFile(e2e::layout::kShipped, &error);
    ASSERT_TRUE(bytes) << error;
    EXPECT_LE(bytes->size(), kBudget) << "the shipped Tavro.exe is " << bytes->size() << " bytes";
    EXPECT_EQ(bytes->find("terminate called after throwing"), std::string::npos)
        << "the shipped Tavro.exe carries libstdc++'s exception machinery again";
}

}  // namespace
