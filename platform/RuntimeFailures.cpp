// What the C++ runtime does, in the shipped program, when it cannot go on: out of memory, a
// container asked for more than it can hold, an empty std::function called, a pure virtual call.
//
// The program catches no exception anywhere, so each of these would end it through
// std::terminate in any case. GCC's own versions get there the long way: they throw, which links
// the DWARF unwinder, the exception classes and their strings, and the verbose terminate handler,
// which prints the exception's demangled type to a console the program does not have (with the
// demangler and the C runtime's printf and locale code behind it). That was more than half of the
// code in Tavro.exe. The program is built without exceptions (cmake/Lean.cmake), and these
// definitions take the place of the runtime's: the linker then takes none of that from libstdc++.
//
// Each failure ends the process at once, as Windows' fail-fast does: no handler runs, nothing is
// unwound. The program holds nothing that must be written out first (it keeps no state), and a
// copy under way leaves only its temporary, which the next copy removes.
//
// Built by the mingw-w64 build only (platform/CMakeLists.txt): MSVC's runtime has its own names
// for these and ends the program the same way without them.

#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

// STATUS_NO_MEMORY for allocations, STATUS_FATAL_APP_EXIT for a broken promise of the code itself.
[[noreturn]] void EndAtOnce(DWORD status) {
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    for (;;) {
        ExitProcess(static_cast<UINT>(status));
    }
}

void* Allocate(std::size_t size) {
    // malloc(0) may give null; new must not.
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr) {
        EndAtOnce(static_cast<DWORD>(STATUS_NO_MEMORY));
    }
    return block;
}

}  // namespace

// The replaceable global allocation functions, as the language allows a program to define them.
// NOLINTBEGIN(cppcoreguidelines-no-malloc,hicpp-no-malloc,misc-new-delete-overloads)
void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
// The forms that give null instead (COM objects are made so): libstdc++'s would call the throwing
// form inside a try block, and bring the exception machinery back.
void* operator new(std::size_t size, const std::nothrow_t& /*unused*/) noexcept {
    return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& /*unused*/) noexcept {
    return std::malloc(size != 0 ? size : 1);
}
void operator delete(void* block, const std::nothrow_t& /*unused*/) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t& /*unused*/) noexcept {
    std::free(block);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t /*size*/) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t /*size*/) noexcept {
    std::free(block);
}
// NOLINTEND(cppcoreguidelines-no-malloc,hicpp-no-malloc,misc-new-delete-overloads)

// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp,cert-dcl58-cpp,cert-dcl50-cpp): the names
// libstdc++'s headers call when a container or std::function fails are fixed by libstdc++
// (functexcept.h); built without exceptions, they are the only way out of those failures.
namespace std {

[[noreturn]] void __throw_bad_alloc() {
    EndAtOnce(static_cast<DWORD>(STATUS_NO_MEMORY));
}
[[noreturn]] void __throw_bad_array_new_length() {
    EndAtOnce(static_cast<DWORD>(STATUS_NO_MEMORY));
}
[[noreturn]] void __throw_length_error(const char* /*what*/) {
    EndAtOnce(static_cast<DWORD>(STATUS_NO_MEMORY));
}
[[noreturn]] void __throw_logic_error(const char* /*what*/) {
    EndAtOnce(static_cast<DWORD>(STATUS_FATAL_APP_EXIT));
}
[[noreturn]] void __throw_out_of_range(const char* /*what*/) {
    EndAtOnce(static_cast<DWORD>(STATUS_FATAL_APP_EXIT));
}
[[noreturn]] void __throw_out_of_range_fmt(const char* /*format*/, ...) {
    EndAtOnce(static_cast<DWORD>(STATUS_FATAL_APP_EXIT));
}
[[noreturn]] void __throw_bad_function_call() {
    EndAtOnce(static_cast<DWORD>(STATUS_FATAL_APP_EXIT));
}

}  // namespace std

extern "C" [[noreturn]] void __cxa_pure_virtual() {
    EndAtOnce(static_cast<DWORD>(STATUS_FATAL_APP_EXIT));
}
// NOLINTEND(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp,cert-dcl58-cpp,cert-dcl50-cpp)
