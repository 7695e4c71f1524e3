#pragma once

#include <windows.h>

#include <utility>

namespace tavro {

// Owns a GDI object (bitmap, font, brush) and deletes it once. Move-only.
template <typename Handle>
class UniqueGdiObject {
  public:
    UniqueGdiObject() = default;
    explicit UniqueGdiObject(Handle handle) noexcept : handle_(handle) {}
    ~UniqueGdiObject() { reset(); }
    UniqueGdiObject(UniqueGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueGdiObject& operator=(UniqueGdiObject&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }
    UniqueGdiObject(const UniqueGdiObject&) = delete;
    UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    void reset(Handle handle = nullptr) noexcept {
        if (handle_ != nullptr) {
            DeleteObject(handle_);
        }
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;

// A memory DC compatible with another DC. Move-only.
class MemoryDC {
  public:
    explicit MemoryDC(HDC compatibleWith) noexcept : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

  private:
    HDC dc_;
};

// Selects an object into a DC for the scope's lifetime, then puts the old one back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;  // borrowed
    HGDIOBJ previous_;
};

// The screen's DC, for reading its resolution.
class ScreenDC {
  public:
    ScreenDC() noexcept : dc_(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_ != nullptr) {
            ReleaseDC(nullptr, dc_);
        }
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;

    HDC get() const noexcept { return dc_; }

  private:
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

}  // namespace tavro
