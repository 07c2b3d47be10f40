#include "widgets/large_button.h"

#include "widgets/gdi.h"

namespace orv::widgets {

bool LargeButton::Create(const LargeButtonArgs& args) {
    image_.SetBackdrop(args.backdrop, args.x, args.y);
    handCursor_ = args.handCursor;
    return CreateWindowOf(L"OrvLargeButton", 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, L"", args.x, args.y,
                          kLargeButtonWidth, kLargeButtonHeight, args.parent);
}

void LargeButton::Show(const PictureSet& pictures, int index) {
    index_ = index;
    image_.Draw(pictures, index);
    if (Exists() && ::IsWindowVisible(Handle())) {
        WindowDc dc(Handle());
        if (dc) {
            image_.PaintTo(dc.Get(), 0, 0);
        }
    }
}

LRESULT LargeButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PaintDc paint(Handle());
            image_.PaintTo(paint.Get(), 0, 0);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SETCURSOR:
            if (handCursor_ && LOWORD(lParam) == HTCLIENT) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            return Default(message, wParam, lParam);
        default:
            return ClickableWindow::OnMessage(message, wParam, lParam);
    }
}

}  // namespace orv::widgets
