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

// A handle borrowed from an owner and given back to it by `GiveBack(owner, held)` when it goes (a held
// null handle is nothing to give back). The device context of a window and an object selected into a
// device context are two of these.
template <typename Owner, typename Held, void (*GiveBack)(Owner, Held)>
class Borrowed {
  public:
    Borrowed() = default;
    Borrowed(Owner owner, Held held) : owner_(owner), held_(held) {}
    ~Borrowed() { Reset(); }
    Borrowed(const Borrowed&) = delete;
    Borrowed& operator=(const Borrowed&) = delete;
    Borrowed(Borrowed&& other) noexcept
        : owner_(std::exchange(other.owner_, Owner{})), held_(std::exchange(other.held_, Held{})) {}
    Borrowed& operator=(Borrowed&& other) noexcept {
        if (this != &other) {
            Reset();
            owner_ = std::exchange(other.owner_, Owner{});
            held_ = std::exchange(other.held_, Held{});
        }
        return *this;
    }

  protected:
    Held HeldHandle() const { return held_; }

  private:
    void Reset() {
        if (held_ != Held{}) {
            GiveBack(owner_, held_);
        }
        owner_ = Owner{};
        held_ = Held{};
    }

    Owner owner_{};
    Held held_{};
};

inline void ReleaseWindowDc(HWND window, HDC dc) {
    ::ReleaseDC(window, dc);
}
inline void SelectBack(HDC dc, HGDIOBJ previous) {
    ::SelectObject(dc, previous);
}

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc : public Borrowed<HWND, HDC, ReleaseWindowDc> {
  public:
    WindowDc() = default;
    explicit WindowDc(HWND window) : Borrowed(window, ::GetDC(window)) {}

    HDC Get() const { return HeldHandle(); }
    explicit operator bool() const { return Get() != nullptr; }
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
class Selection : public Borrowed<HDC, HGDIOBJ, SelectBack> {
  public:
    Selection() = default;
    Selection(HDC dc, HGDIOBJ object) : Borrowed(dc, object ? ::SelectObject(dc, object) : nullptr) {}
    // False when the device context did not take the object.
    explicit operator bool() const { return HeldHandle() != nullptr; }
};

}  // namespace orv::widgets
