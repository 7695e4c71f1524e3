# Cross-compiles the same sources for 64-bit Windows with Debian's mingw-w64 (win32 thread model).
# Not what users get: this build exists so the end-to-end suite can run under 64-bit Wine on
# hosts that cannot start 32-bit programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TAVRO_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
