// One owner per GDI handle kind (the program's one handle owner, with GDI's free functions), and the
// scoped device contexts and selections. Copies are deleted, moves hand the handle over; a moved-from
// owner holds nothing.
#pragma once

#include <windows.h>

#include <utility>

#include "platform/win32/handles.h"

namespace orv::widgets {

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
struct DeleteDeviceContext {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct DestroyIconHandle {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct DestroyMenuHandle {
    void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};

// GDI handles: null means none; each kind is freed by `Free` (a stateless function object).
template <typename HandleType, typename Free>
struct GdiTraits {
    using Handle = HandleType;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { Free{}(handle); }
};

using Bitmap = win32::UniqueHandle<GdiTraits<HBITMAP, DeleteGdiObject>>;
using Font = win32::UniqueHandle<GdiTraits<HFONT, DeleteGdiObject>>;
using Brush = win32::UniqueHandle<GdiTraits<HBRUSH, DeleteGdiObject>>;
using Pen = win32::UniqueHandle<GdiTraits<HPEN, DeleteGdiObject>>;
using Region = win32::UniqueHandle<GdiTraits<HRGN, DeleteGdiObject>>;
using Icon = win32::UniqueHandle<GdiTraits<HICON, DestroyIconHandle>>;
using Menu = win32::UniqueHandle<GdiTraits<HMENU, DestroyMenuHandle>>;
// A memory device context from CreateCompatibleDC.
using MemoryDc = win32::UniqueHandle<GdiTraits<HDC, DeleteDeviceContext>>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
  public:
    WindowDc() = default;
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() { Reset(); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    WindowDc(WindowDc&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDc& operator=(WindowDc&& other) noexcept {
        if (this != &other) {
            Reset();
            window_ = std::exchange(other.window_, nullptr);
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }

    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    void Reset() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
        window_ = nullptr;
        dc_ = nullptr;
    }

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// BeginPaint / EndPaint for WM_PAINT.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window) { ::BeginPaint(window_, &paint_); }
    ~PaintDc() { ::EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC Get() const { return paint_.hdc; }
    const RECT& Dirty() const { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

// An object selected into a device context; the previous object is selected back on destruction.
class Selection {
  public:
    Selection() = default;
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~Selection() { Reset(); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    Selection(Selection&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
    Selection& operator=(Selection&& other) noexcept {
        if (this != &other) {
            Reset();
            dc_ = std::exchange(other.dc_, nullptr);
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }

  private:
    void Reset() {
        if (dc_ != nullptr && previous_ != nullptr) {
            ::SelectObject(dc_, previous_);
        }
        dc_ = nullptr;
        previous_ = nullptr;
    }

    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace orv::widgets
