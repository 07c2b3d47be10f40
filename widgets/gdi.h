// One owner per GDI handle kind, and one for an object selected into a device context. Copies are
// deleted, moves hand the handle over; a moved-from owner holds nothing.
#pragma once

#include <windows.h>

#include <utility>

namespace orv::widgets {

// Owns one handle and frees it with `Free` (a stateless function object).
template <typename Handle, typename Free>
class UniqueGdi {
  public:
    UniqueGdi() = default;
    explicit UniqueGdi(Handle handle) : handle_(handle) {}
    ~UniqueGdi() { Reset(); }
    UniqueGdi(const UniqueGdi&) = delete;
    UniqueGdi& operator=(const UniqueGdi&) = delete;
    UniqueGdi(UniqueGdi&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueGdi& operator=(UniqueGdi&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives the handle up without freeing it.
    Handle Release() { return std::exchange(handle_, nullptr); }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr && handle_ != handle) {
            Free{}(handle_);
        }
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

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

using Bitmap = UniqueGdi<HBITMAP, DeleteGdiObject>;
using Font = UniqueGdi<HFONT, DeleteGdiObject>;
using Brush = UniqueGdi<HBRUSH, DeleteGdiObject>;
using Pen = UniqueGdi<HPEN, DeleteGdiObject>;
using Region = UniqueGdi<HRGN, DeleteGdiObject>;
using Icon = UniqueGdi<HICON, DestroyIconHandle>;
using Menu = UniqueGdi<HMENU, DestroyMenuHandle>;
// A memory device context from CreateCompatibleDC.
using MemoryDc = UniqueGdi<HDC, DeleteDeviceContext>;

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
