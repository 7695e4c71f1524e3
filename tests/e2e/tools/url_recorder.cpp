// Stands in for the browser: registered as the http and https handler of the test prefix, it
// appends what the shell handed it to a log and ends, so a test sees the exact URL.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/UniqueResource.h"
#include "support/Layout.h"
#include "support/Text.h"
#include "support/UrlRecordFormat.h"

namespace {

// The part of the command line after the program, by the same rule CommandLineToArgvW uses for argv[0].
std::wstring ArgumentsPart(const wchar_t* commandLine) {
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p != L'\0' && *p != L'"') {
            ++p;
        }
        if (*p == L'"') {
            ++p;
        }
    } else {
        while (*p != L'\0' && *p != L' ' && *p != L'\t') {
            ++p;
        }
    }
    while (*p == L' ' || *p == L'\t') {
        ++p;
    }
    return p;
}

bool Append(const std::string& line) {
    // Two handlers may run at once; a sharing violation only means "try again shortly".
    for (int attempt = 0; attempt < 200; ++attempt) {
        const tavro::UniqueHandle file(CreateFileW(e2e::layout::kReceivedUrls, FILE_APPEND_DATA, FILE_SHARE_READ,
                                                   nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            Sleep(10);
            continue;
        }
        DWORD written = 0;
        const BOOL ok = WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return ok && written == line.size();
    }
    return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
    const wchar_t* commandLine = GetCommandLineW();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine, &argc);

    std::string line(e2e::record::kTag);
    line += '\t' + e2e::record::Escape(e2e::Utf8(ArgumentsPart(commandLine)));
    line += '\t' + std::to_string(argc);
    for (int i = 0; argv != nullptr && i < argc; ++i) {
        line += '\t' + e2e::record::Escape(e2e::Utf8(argv[i]));
    }
    line += '\n';
    if (argv != nullptr) {
        LocalFree(argv);
    }
    return Append(line) ? 0 : 1;
}
