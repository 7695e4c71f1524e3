#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
    // A crash in the driver must end it, not leave a dialog behind that holds the test until its timeout.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
