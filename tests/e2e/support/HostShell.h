#pragma once

#include <string>

// Wine starts a program that is not a PE file (here the host's /bin/sh) as a Unix process, with
// the driver's Unix environment (WINEPREFIX, DISPLAY, ...). It gives back no process handle, so
// the script leaves its traces in files. Used to start Tavro in a Wine process of its own under
// a Unix resource limit the driver cannot set on itself.
namespace e2e {

// The host path of a path inside the prefix; empty when not under Wine.
std::wstring UnixPathOf(const std::wstring& windowsPath);

// text in single quotes for sh ("'" cannot occur in the paths we pass).
std::wstring ShellQuoted(const std::wstring& text);

// Starts Wine from such a script with the loader this run uses (tools/wine/wine-lib.sh sets it):
// for the 64-bit build the plain wrapper would pick the 32-bit loader, which may not start.
inline constexpr const wchar_t* kWineCommand = L"${TAVRO_WINE_LOADER:-wine}";

// Starts /bin/sh -c script without waiting for it; false (with the reason) if Wine refuses.
// The script must not contain '"'.
bool StartShellScript(const std::wstring& script, std::string* error);

// Script lines that let no file written by what follows grow beyond maxBytes (rounded down to
// 512-byte blocks): writes past it fail as on a full disk. SIGXFSZ is ignored so the writer sees
// the failure instead of being killed.
std::wstring FileSizeLimitLines(unsigned long maxBytes);

}  // namespace e2e
