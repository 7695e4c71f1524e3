#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
    // A crash in the driver must end it, not leave a dialog behind that holds the test until its timeout.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    // A user's desktop is up before they start a program. In a fresh prefix Wine starts it with the
    // first window anyone asks for, and under load a program that asks first can give up on it; so
    // the driver asks first, and waits until the desktop answers.
    const HWND desktop = GetDesktopWindow();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(desktop, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
