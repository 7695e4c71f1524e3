#pragma once

#include <windows.h>

#include "platform/UniqueResource.h"

namespace tavro {

template <typename GdiHandle>
struct GdiObjectTraits {
    using Handle = GdiHandle;
    static constexpr bool kHasInvalidValue = false;
    static void Release(Handle handle) noexcept { DeleteObject(handle); }
};

// Owns a GDI object (bitmap, font, brush) and deletes it once. Move-only.
template <typename Handle>
using UniqueGdiObject = UniqueResource<GdiObjectTraits<Handle>>;

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
        if (previous_ != nullptr && previous_ != SelectFailed()) {
            SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    // HGDI_ERROR spelled so that it means (HGDIOBJ)-1 on 64-bit builds too, as SelectObject returns it.
    static HGDIOBJ SelectFailed() noexcept { return reinterpret_cast<HGDIOBJ>(static_cast<INT_PTR>(-1)); }

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

// Stretches with the smoothing filter (halftone); the brush origin is set after the mode, as halftone asks.
inline void StretchSmoothly(HDC target, const RECT& to, HDC source, int sourceWidth, int sourceHeight) {
    const int oldMode = SetStretchBltMode(target, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(target, 0, 0, &oldOrigin);
    StretchBlt(target, to.left, to.top, to.right - to.left, to.bottom - to.top, source, 0, 0, sourceWidth, sourceHeight,
               SRCCOPY);
    SetBrushOrgEx(target, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(target, oldMode);
}

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
