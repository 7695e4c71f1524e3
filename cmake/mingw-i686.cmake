# Cross-compiles the product for 32-bit Windows with Debian's mingw-w64 (win32 thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TAVRO_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVRO_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TAVRO_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${TAVRO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVRO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test executables run under Wine; see tests/e2e/run-in-prefix.sh for the real harness.
find_program(TAVRO_WINE wine)
if(TAVRO_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVRO_WINE})
endif()
