// The stack protector's canary for the shipped program, and what happens when a protected
// function finds it overwritten. GCC's libssp would provide both, but it seeds the canary through
// CryptAcquireContext, which loads a cryptographic service provider and reads its registration
// before WinMain: about a tenth of the whole start-up under Wine, for a value that need only be
// unpredictable to an attacker who cannot read the process. Windows' own /GS cookie is seeded the
// way this one is (the MSVC runtime's __security_init_cookie mixes the same sources), and once
// these two symbols are defined here the linker takes nothing from libssp.
//
// The canary changes once, during static initialisation: no protected function is running then
// (the runtime's start-up code and constructor loop are not compiled with the protector), so none
// sees two values. This file itself is built without the protector (platform/CMakeLists.txt).

#include <windows.h>

#include <cstdint>

namespace {

std::uintptr_t Unpredictable() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    std::uint64_t mix = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    mix ^= static_cast<std::uint64_t>(counter.QuadPart);
    mix ^= static_cast<std::uint64_t>(GetCurrentProcessId()) << 32;
    mix ^= GetCurrentThreadId();
    mix ^= static_cast<std::uint64_t>(GetTickCount()) << 16;
    // Where the stack lies differs from start to start (ASLR).
    mix ^= static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&counter)) << 8;
    // Spread every source over every bit (SplitMix64's finaliser), so that no part of the canary is
    // just the slowly moving high half of the clock.
    mix ^= mix >> 30;
    mix *= 0xBF58476D1CE4E5B9u;
    mix ^= mix >> 27;
    mix *= 0x94D049BB133111EBu;
    mix ^= mix >> 31;
    auto guard = static_cast<std::uintptr_t>(mix ^ (mix >> 32));
    // A zero low byte stops string copies at the canary, as glibc's does.
    guard &= ~static_cast<std::uintptr_t>(0xFF);
    return guard != 0 ? guard : static_cast<std::uintptr_t>(0x2F8A4C00);
}

}  // namespace

// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp): the names the compiler's
// stack protector calls are fixed by the compiler.
extern "C" {

std::uintptr_t __stack_chk_guard = Unpredictable();

// An overwritten canary means the stack can no longer be trusted: end at once, as Windows ends a
// program whose /GS cookie was overwritten, without unwinding or running any handler.
[[noreturn]] void __stack_chk_fail() {
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(STATUS_STACK_BUFFER_OVERRUN));
    for (;;) {
        ExitProcess(static_cast<UINT>(STATUS_STACK_BUFFER_OVERRUN));
    }
}

// What _FORTIFY_SOURCE's checked copies (__memcpy_chk and the like, from libssp) call when a copy
// would overrun its buffer: the same overrun, caught before it happens, so the same end. libssp
// defines it beside its own canary, which this file replaces, so it must be defined here too.
void __chk_fail() {
    __stack_chk_fail();
}

}  // extern "C"
// NOLINTEND(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
