#include "widgets/skinned_window.h"

#include "widgets/keyboard.h"

namespace orv::widgets {

Region RegionFromRectangles(std::span<const RECT> rectangles) {
    Region result(::CreateRectRgn(0, 0, 0, 0));
    if (!result) {
        return result;
    }
    for (const RECT& r : rectangles) {
        Region part(::CreateRectRgn(r.left, r.top, r.right, r.bottom));
        if (!part || ::CombineRgn(result.Get(), result.Get(), part.Get(), RGN_OR) == ERROR) {
            return Region();
        }
    }
    return result;
}

bool SkinnedWindow::Create(const SkinnedWindowArgs& args) {
    draggedByBackground_ = args.draggedByBackground;
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | (args.minimiseBox ? WS_MINIMIZEBOX : 0);
    return CreateWindowOf(args.className, args.exStyle, style, args.title, args.x, args.y, args.width,
                          args.height, args.owner);
}

void SkinnedWindow::SetSkin(const Backdrop* skin) {
    skin_ = skin;
    if (Exists()) {
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void SkinnedWindow::SetColour(Colour colour) {
    colour_ = colour;
    if (Exists()) {
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

bool SkinnedWindow::SetOutline(std::span<const RECT> rectangles) {
    if (!Exists()) {
        return false;
    }
    Region region = RegionFromRectangles(rectangles);
    if (!region) {
        return false;
    }
    // The system owns the region from here on.
    if (::SetWindowRgn(Handle(), region.Get(), TRUE) == 0) {
        return false;
    }
    region.Release();
    return true;
}

void SkinnedWindow::PaintBackground(HDC dc) {
    const RECT client = ClientRect();
    // Only the part that is being painted: a skin drawn by code draws no more than that.
    RECT area = client;
    RECT clip{};
    if (::GetClipBox(dc, &clip) > NULLREGION) {
        ::IntersectRect(&area, &client, &clip);
    }
    if (skin_ == nullptr || skin_->Width() < client.right || skin_->Height() < client.bottom ||
        !skin_->Opaque()) {
        Brush brush(::CreateSolidBrush(ToColorRef(colour_)));
        ::FillRect(dc, &area, brush.Get());
    }
    if (skin_ != nullptr && !::IsRectEmpty(&area)) {
        skin_->DrawPart(dc, area.left, area.top, area);
    }
}

void SkinnedWindow::Draw(HDC dc, int, int) {
    PaintBackground(dc);
    PaintContent(dc);
}

LRESULT SkinnedWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WindowKeyMessage() && message != 0) {
        return OnWindowKey(static_cast<UINT>(wParam & 0xFFFF), (wParam & kWindowKeyShift) != 0,
                           reinterpret_cast<HWND>(lParam))
                   ? 1
                   : 0;
    }
    switch (message) {
        case WM_PRINTCLIENT:
            Draw(reinterpret_cast<HDC>(wParam), 0, 0);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (draggedByBackground_) {
                DragOnPress(Handle(), message, wParam);
                return 0;
            }
            return Window::OnMessage(message, wParam, lParam);
        default:
            return Window::OnMessage(message, wParam, lParam);
    }
}

}  // namespace orv::widgets
