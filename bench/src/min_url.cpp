// The least a program can do to open the ordering page: one ShellExecuteW call and nothing else.
// The URL comes from bench/run.sh, the same one Tavro_12345.exe sends.
#include <windows.h>
#include <shellapi.h>

#ifndef BENCH_URL
#error "BENCH_URL must name the URL to open (set by bench/CMakeLists.txt)"
#endif

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPWSTR /*commandLine*/, int /*show*/) {
    ShellExecuteW(nullptr, L"open", BENCH_URL, nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}
