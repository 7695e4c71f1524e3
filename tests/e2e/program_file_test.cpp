// The PE header and the manifest's architecture, read from the files themselves. Wine starts a
// program whatever architecture its manifest names; Windows refuses one that names another.
#include <windows.h>

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

std::optional<PeFacts> ReadPeFacts(const wchar_t* path, std::string* error) {
    const std::optional<std::string> bytes = e2e::ReadWholeFile(path, error);
    if (!bytes) {
        return std::nullopt;
    }
    IMAGE_DOS_HEADER dos{};
    DWORD signature = 0;
    IMAGE_FILE_HEADER file{};
    WORD subsystem = 0;
    const std::size_t nt = ReadAt(*bytes, 0, &dos) ? static_cast<std::size_t>(dos.e_lfanew) : 0;
    // Subsystem sits at the same offset in the 32- and the 64-bit optional header.
    const std::size_t optional = nt + sizeof signature + sizeof file;
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || !ReadAt(*bytes, nt, &signature) || signature != IMAGE_NT_SIGNATURE ||
        !ReadAt(*bytes, nt + sizeof signature, &file) ||
        !ReadAt(*bytes, optional + offsetof(IMAGE_OPTIONAL_HEADER32, Subsystem), &subsystem)) {
        *error = "not a PE file";
        return std::nullopt;
    }
    return PeFacts{ArchitectureName(file.Machine), subsystem};
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

}  // namespace
