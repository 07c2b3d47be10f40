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

void PaintThrough(HDC target, HBITMAP buffer, int width, int height,
                  const std::function<void(HDC, int, int)>& draw) {
    if (buffer == nullptr) {
        return;
    }
    MemoryDc memory(::CreateCompatibleDC(target));
    if (!memory) {
        return;
    }
    Selection selected(memory.Get(), buffer);
    draw(memory.Get(), width, height);
    ::BitBlt(target, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

}  // namespace

void PaintBuffered(HWND window, const std::function<void(HDC dc, int width, int height)>& draw) {
    PaintDc paint(window);
    RECT client{};
    ::GetClientRect(window, &client);
    Bitmap buffer(::CreateCompatibleBitmap(paint.Get(), client.right, client.bottom));
    PaintThrough(paint.Get(), buffer.Get(), client.right, client.bottom, draw);
}

void PaintBuffered(HWND window, HBITMAP buffer,
                   const std::function<void(HDC dc, int width, int height)>& draw) {
    PaintDc paint(window);
    RECT client{};
    ::GetClientRect(window, &client);
    PaintThrough(paint.Get(), buffer, client.right, client.bottom, draw);
}

}  // namespace orv::widgets
