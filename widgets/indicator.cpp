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

void Indicator::Draw(HDC dc, int width, int height) {
    RECT box{0, 0, width, height};
    Brush fill(::CreateSolidBrush(ToColorRef(colour_)));
    if (outline_) {
        Brush edge(::CreateSolidBrush(ToColorRef(*outline_)));
        ::FillRect(dc, &box, edge.Get());
        ::InflateRect(&box, -1, -1);
    }
    ::FillRect(dc, &box, fill.Get());
}

}  // namespace orv::widgets
