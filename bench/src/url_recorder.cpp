// Stands in for the browser during the URL benchmark. The shell starts it through
// HKLM\Software\Classes\http\shell\open\command as: url_recorder.exe "<record file>" "<url>".
// Its first act is to read the clock, so the record tells when the URL reached the handler.
// Built for the GUI subsystem with wmain: the C runtime hands over the arguments and no
// shell32 is loaded just to split the command line.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    FILETIME started{};
    GetSystemTimePreciseAsFileTime(&started);
    if (argc < 3) {
        return 2;
    }
    const unsigned long long ticks =
        (static_cast<unsigned long long>(started.dwHighDateTime) << 32) | started.dwLowDateTime;

    const std::wstring record = argv[1];
    const std::wstring partial = record + L".part";
    const int urlBytes = WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, nullptr, 0, nullptr, nullptr);
    std::string url(urlBytes > 0 ? static_cast<std::size_t>(urlBytes) : 1U, '\0');
    if (urlBytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, url.data(), urlBytes, nullptr, nullptr);
    }
    url.resize(url.find('\0'));

    FILE* file = _wfopen(partial.c_str(), L"wb");
    if (file == nullptr) {
        return 1;
    }
    std::fprintf(file, "%llu\n%s\n", ticks, url.c_str());
    std::fclose(file);
    // Renamed into place only once complete, so the driver never reads half a record.
    return MoveFileExW(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
