#include "widgets/indicator.h"

#include "widgets/gdi.h"

namespace orv::widgets {

bool Indicator::Create(const IndicatorArgs& args) {
    colour_ = args.colour;
    outline_ = args.outline;
    return CreateChild(L"OrvIndicator", 0, WS_VISIBLE | WS_CLIPSIBLINGS, args.place);
}

void Indicator::SetColour(Colour colour) {
    if (!(colour == colour_)) {
        colour_ = colour;
        Repaint();
    }
}

LRESULT Indicator::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PaintDc paint(Handle());
            RECT box = ClientRect();
            Brush fill(::CreateSolidBrush(ToColorRef(colour_)));
            if (outline_) {
                Brush edge(::CreateSolidBrush(ToColorRef(*outline_)));
                ::FillRect(paint.Get(), &box, edge.Get());
                ::InflateRect(&box, -1, -1);
            }
            ::FillRect(paint.Get(), &box, fill.Get());
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        default:
            return Window::OnMessage(message, wParam, lParam);
    }
}

}  // namespace orv::widgets
