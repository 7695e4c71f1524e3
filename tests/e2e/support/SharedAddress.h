#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

namespace e2e {

// Bytes at an address that lies at the same place in this process and in another. WM_DPICHANGED
// points at its suggested rectangle, and WM_GETDPISCALEDSIZE at a SIZE the receiver fills in;
// Wine 8 does not copy what a message's lParam points at into the receiving process unless the
// message is one it knows to carry a pointer, which neither is: the number arrives as it was sent.
// So the value is written into the other process's memory at an address this process holds too,
// with the same contents, and the message carries a pointer that is valid in both, whichever side
// reads it; what the other side writes there is read back from its memory.
class SharedBytes {
  public:
    SharedBytes(HANDLE process, const void* value, std::size_t size);
    SharedBytes(const SharedBytes&) = delete;
    SharedBytes& operator=(const SharedBytes&) = delete;
    ~SharedBytes();
    // The address for a message's lParam; 0 when no address could be had (see Error).
    LPARAM Pointer() const { return reinterpret_cast<LPARAM>(address_); }
    const std::string& Error() const { return error_; }
    // The bytes as they now stand in the other process, size of them into value.
    bool ReadBack(void* value);

  private:
    HANDLE process_;  // borrowed
    std::size_t size_;
    void* address_ = nullptr;
    std::vector<void*> local_;
    std::string error_;
};

// A value (a RECT, a SIZE) held so, at the same address in both processes.
template <typename Value>
class SharedAddress {
    static_assert(std::is_trivially_copyable_v<Value>, "copied byte for byte into another process");

  public:
    SharedAddress(HANDLE process, const Value& value) : bytes_(process, &value, sizeof value) {}
    LPARAM Pointer() const { return bytes_.Pointer(); }
    const std::string& Error() const { return bytes_.Error(); }
    // The value as it now stands in the other process.
    bool ReadBack(Value* value) { return bytes_.ReadBack(value); }

  private:
    SharedBytes bytes_;
};

}  // namespace e2e
