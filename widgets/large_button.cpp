#include "widgets/large_button.h"

#include "widgets/gdi.h"

namespace orv::widgets {

bool LargeButton::Create(const LargeButtonArgs& args) {
    image_.SetBackdrop(args.backdrop, args.x, args.y);
    SetHandCursor(args.handCursor);
    return CreateChild(L"OrvLargeButton", 0, WS_VISIBLE | WS_CLIPSIBLINGS,
                       {args.parent, args.x, args.y, kLargeButtonWidth, kLargeButtonHeight});
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
        default:
            return ClickableWindow::OnMessage(message, wParam, lParam);
    }
}

}  // namespace orv::widgets
