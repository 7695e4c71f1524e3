#include "support/HostShell.h"

#include <windows.h>

#include "platform/UniqueResource.h"
#include "support/Text.h"

namespace e2e {

std::wstring UnixPathOf(const std::wstring& windowsPath) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (unixName == nullptr) {
        return {};
    }
    char* name = unixName(windowsPath.c_str());
    if (name == nullptr) {
        return {};
    }
    std::wstring result = Wide(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::wstring ShellQuoted(const std::wstring& text) {
    return L"'" + text + L"'";
}

bool StartShellScript(const std::wstring& script, std::string* error) {
    if (script.find(L'"') != std::wstring::npos) {
        *error = "a script for /bin/sh cannot contain '\"' here: " + Utf8(script);
        return false;
    }
    std::wstring commandLine = L"/bin/sh -c \"" + script + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(L"/bin/sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        *error = "Wine did not start /bin/sh: " + DescribeError(GetLastError());
        return false;
    }
    // Wine hands back no handles for a Unix process; let go of whatever there is.
    const tavro::UniqueHandle thread(info.hThread);
    const tavro::UniqueHandle process(info.hProcess);
    return true;
}

std::wstring FileSizeLimitLines(unsigned long maxBytes) {
    return L"trap '' XFSZ; ulimit -f " + std::to_wstring(maxBytes / 512) + L"; ";
}

}  // namespace e2e
