#pragma once

#include <utility>

namespace tavro {

// Owns one Win32 resource and releases it once, through Traits::Release. Move-only.
// Traits names the Handle type and may map a failure value (INVALID_HANDLE_VALUE) to null.
template <typename Traits>
class UniqueResource {
  public:
    using Handle = typename Traits::Handle;

    UniqueResource() = default;
    explicit UniqueResource(Handle handle) noexcept : handle_(Normalized(handle)) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    void reset(Handle handle = nullptr) noexcept {
        if (handle_ != nullptr) {
            Traits::Release(handle_);
        }
        handle_ = Normalized(handle);
    }

  private:
    static Handle Normalized(Handle handle) noexcept {
        if constexpr (Traits::kHasInvalidValue) {
            return handle == Traits::InvalidValue() ? nullptr : handle;
        } else {
            return handle;
        }
    }

    Handle handle_ = nullptr;
};

}  // namespace tavro
