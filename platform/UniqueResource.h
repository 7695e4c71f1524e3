#pragma once

#include <windows.h>

#include <utility>

// Owners of Win32 handles, for the program and its test driver alike: each releases its handle
// once, and none can be copied.
namespace tavro {

// Owns one handle and releases it through Traits::Release. Traits names the Handle type and may
// name a second "no handle" value besides null (INVALID_HANDLE_VALUE), which is kept as null.
template <typename Traits>
class UniqueResource {
  public:
    using Handle = typename Traits::Handle;

    UniqueResource() = default;
    explicit UniqueResource(Handle handle) noexcept : handle_(Normalized(handle)) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    // Gives the handle up without releasing it.
    Handle release() noexcept { return std::exchange(handle_, nullptr); }
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

// Traits of a handle whose only "none" is null.
template <typename HandleType, auto ReleaseFunction>
struct NullIsNone {
    using Handle = HandleType;
    static constexpr bool kHasInvalidValue = false;
    static void Release(Handle handle) noexcept { ReleaseFunction(handle); }
};

// Traits of a handle that reports failure as INVALID_HANDLE_VALUE (CreateFileW, FindFirstFileW,
// CreateToolhelp32Snapshot) and elsewhere as null (OpenProcess, CreateThread): both are none.
template <auto ReleaseFunction>
struct InvalidIsNone {
    using Handle = HANDLE;
    static constexpr bool kHasInvalidValue = true;
    // Not constexpr: INVALID_HANDLE_VALUE is a cast from -1.
    static Handle InvalidValue() noexcept { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) noexcept { ReleaseFunction(handle); }
};

// A kernel handle: file, process, thread, event, snapshot.
using UniqueHandle = UniqueResource<InvalidIsNone<CloseHandle>>;
// A search begun by FindFirstFileW.
using UniqueFind = UniqueResource<InvalidIsNone<FindClose>>;
using UniqueKey = UniqueResource<NullIsNone<HKEY, RegCloseKey>>;
using UniqueModule = UniqueResource<NullIsNone<HMODULE, FreeLibrary>>;
using UniqueIcon = UniqueResource<NullIsNone<HICON, DestroyIcon>>;
// A DC from CreateCompatibleDC.
using UniqueMemoryDC = UniqueResource<NullIsNone<HDC, DeleteDC>>;

// A GDI object (bitmap, font, brush), deleted once.
template <typename Handle>
using UniqueGdiObject = UniqueResource<NullIsNone<Handle, DeleteObject>>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;

// A DC from GetDC, which goes back to the same window; a null window gives the screen's DC.
class WindowDC {
  public:
    explicit WindowDC(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

  private:
    HWND window_;  // borrowed
    HDC dc_;
};

// BeginPaint/EndPaint as a scope.
class PaintScope {
  public:
    explicit PaintScope(HWND window) noexcept : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC get() const noexcept { return dc_; }

  private:
    HWND window_;  // borrowed
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a DC for the scope's lifetime, then puts the old one back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != SelectFailed()) {
            SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    // HGDI_ERROR spelled so that it means (HGDIOBJ)-1 on 64-bit builds too, as SelectObject returns it.
    static HGDIOBJ SelectFailed() noexcept { return reinterpret_cast<HGDIOBJ>(static_cast<INT_PTR>(-1)); }

    HDC dc_;            // borrowed
    HGDIOBJ previous_;  // borrowed: owned by the DC
};

}  // namespace tavro
