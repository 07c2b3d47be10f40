#include "widgets/indicator.h"

#include <oleacc.h>

#include "widgets/gdi.h"

namespace orv::widgets {

bool Indicator::Create(const IndicatorArgs& args) {
    colour_ = args.colour;
    outline_ = args.outline;
    if (!CreateChild(L"OrvIndicator", 0, WS_VISIBLE | WS_CLIPSIBLINGS, args.place)) {
        return false;
    }
    NameByHint();
    return true;
}

bool Indicator::Describe(AccessibleInfo& info) const {
    const HWND window = Handle();
    info.name = WindowTextOf(window);
    info.role = ROLE_SYSTEM_STATICTEXT;
    info.state = WindowStates(window, false) | STATE_SYSTEM_READONLY;
    return true;
}

void Indicator::SetColour(Colour colour) {
    if (!(colour == colour_)) {
        colour_ = colour;
        Repaint();
        NotifyAccessibleChange(Handle(), EVENT_OBJECT_STATECHANGE);
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
