// A trivial program the tests start the way they start Tavro.exe, to learn what a started
// program sees under Wine (its own path) and to prove the planted DLL markers can fire: unlike
// Tavro it does nothing to restrict where DLLs are looked for.
//   e2e_probe.exe [--load NAME.dll]...
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/UniqueResource.h"
#include "support/Layout.h"
#include "support/Text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
    std::wstring report;
    wchar_t module[32768] = {};
    GetModuleFileNameW(nullptr, module, 32768);
    report += L"module\t" + std::wstring(module) + L"\n";
    wchar_t cwd[32768] = {};
    GetCurrentDirectoryW(32768, cwd);
    report += L"cwd\t" + std::wstring(cwd) + L"\n";

    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; argv != nullptr && i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"--load") {
            const HMODULE loaded = LoadLibraryW(argv[++i]);
            report += L"load\t" + std::wstring(argv[i]) + (loaded != nullptr ? L"\tok\n" : L"\tfailed\n");
        }
    }
    if (argv != nullptr) {
        LocalFree(argv);
    }

    const std::string bytes = e2e::Utf8(report);
    const tavro::UniqueHandle file(CreateFileW(e2e::layout::kProbeReport, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return 2;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return ok ? 0 : 1;
}
