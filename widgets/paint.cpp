#include "widgets/paint.h"

#include "widgets/gdi.h"

namespace orv::widgets {

void DrawParentBackground(HWND child, HDC dc) {
    HWND parent = ::GetParent(child);
    RECT client{};
    ::GetClientRect(child, &client);
    if (parent == nullptr || !(::GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD)) {
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    POINT origin{0, 0};
    ::MapWindowPoints(child, parent, &origin, 1);
    POINT previous{};
    ::OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    const int saved = ::SaveDC(dc);
    ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    ::RestoreDC(dc, saved);
    ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

namespace {

// Composes `area` of the client in `buffer` (the area's size at least) and copies it onto `target`;
// false when nothing could be composed.
bool PaintThrough(HDC target, HBITMAP buffer, const RECT& area, SIZE client,
                  const std::function<void(HDC, int, int)>& draw) {
    if (buffer == nullptr) {
        return false;
    }
    MemoryDc memory(::CreateCompatibleDC(target));
    if (!memory) {
        return false;
    }
    Selection selected(memory.Get(), buffer);
    ::SetViewportOrgEx(memory.Get(), -area.left, -area.top, nullptr);
    draw(memory.Get(), client.cx, client.cy);
    ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, memory.Get(),
             area.left, area.top, SRCCOPY);
    return true;
}

}  // namespace

void PaintBuffered(HWND window, const std::function<void(HDC dc, int width, int height)>& draw) {
    PaintDc paint(window);
    RECT client{};
    ::GetClientRect(window, &client);
    RECT area{};
    if (!::IntersectRect(&area, &client, &paint.Dirty())) {
        return;
    }
    Bitmap buffer(::CreateCompatibleBitmap(paint.Get(), area.right - area.left, area.bottom - area.top));
    if (!buffer) {
        // Out of GDI memory: straight onto the screen, flickering but whole, rather than not at all.
        draw(paint.Get(), client.right, client.bottom);
        return;
    }
    PaintThrough(paint.Get(), buffer.Get(), area, SIZE{client.right, client.bottom}, draw);
}

bool PaintBuffered(HWND window, HBITMAP buffer,
                   const std::function<void(HDC dc, int width, int height)>& draw) {
    PaintDc paint(window);
    RECT client{};
    ::GetClientRect(window, &client);
    return PaintThrough(paint.Get(), buffer, client, SIZE{client.right, client.bottom}, draw);
}

bool PaintBufferedNow(HWND window, HBITMAP buffer,
                      const std::function<void(HDC dc, int width, int height)>& draw) {
    WindowDc dc(window);
    if (!dc) {
        return false;
    }
    RECT client{};
    ::GetClientRect(window, &client);
    return PaintThrough(dc.Get(), buffer, client, SIZE{client.right, client.bottom}, draw);
}

}  // namespace orv::widgets
