#include "support/SharedAddress.h"

#include <cstring>

#include "support/Text.h"

namespace e2e {

SharedBytes::SharedBytes(HANDLE process, const void* value, std::size_t size) : process_(process), size_(size) {
    for (int attempt = 0; attempt < 16 && address_ == nullptr; ++attempt) {
        void* local = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (local == nullptr) {
            break;
        }
        local_.push_back(local);  // kept until the end, so the next attempt gets another address
        void* remote = VirtualAllocEx(process, local, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (remote == local) {
            SIZE_T written = 0;
            std::memcpy(local, value, size);
            if (WriteProcessMemory(process, remote, value, size, &written) && written == size) {
                address_ = local;
            } else {
                error_ = "WriteProcessMemory: " + DescribeError(GetLastError());
                VirtualFreeEx(process, remote, 0, MEM_RELEASE);
                break;
            }
        } else if (remote != nullptr) {
            VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        } else {
            error_ = "VirtualAllocEx: " + DescribeError(GetLastError());
        }
    }
    if (address_ == nullptr && error_.empty()) {
        error_ = "no address free in both processes";
    }
}

SharedBytes::~SharedBytes() {
    if (address_ != nullptr) {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    for (void* local : local_) {
        VirtualFree(local, 0, MEM_RELEASE);
    }
}

bool SharedBytes::ReadBack(void* value) {
    SIZE_T read = 0;
    if (!ReadProcessMemory(process_, address_, value, size_, &read) || read != size_) {
        error_ = "ReadProcessMemory: " + DescribeError(GetLastError());
        return false;
    }
    return true;
}

}  // namespace e2e
