#include "widgets/panel.h"

#include <oleacc.h>

#include "platform/win32/wide.h"
#include "widgets/hints.h"

#include "widgets/gdi.h"
#include "widgets/paint.h"

namespace orv::widgets {

bool Panel::Create(const ControlPlace& place) {
    return CreateChild(L"OrvPanel", WS_EX_CONTROLPARENT, WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                       place);
}

bool Panel::Describe(AccessibleInfo& info) const {
    const std::string* hint = Hints::TextOf(Handle());
    if (hint == nullptr) {
        return false;
    }
    info.name = win32::Wide(*hint);
    info.role = ROLE_SYSTEM_GROUPING;
    info.state = WindowStates(Handle(), false);
    return true;
}

void Panel::SetPicture(const Picture* picture, PictureMode mode) {
    picture_ = picture;
    mode_ = mode;
    if (Exists()) {
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void Panel::SetColour(std::optional<Colour> colour) {
    if (colour == colour_) {
        return;  // the step display sets every box at every step
    }
    colour_ = colour;
    if (Exists()) {
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void Panel::PaintBackground(HDC dc) {
    const RECT client = ClientRect();
    if (picture_ == nullptr || picture_->HasAlpha()) {
        if (colour_) {
            Brush brush(::CreateSolidBrush(ToColorRef(*colour_)));
            ::FillRect(dc, &client, brush.Get());
        } else {
            DrawParentBackground(Handle(), dc);
        }
    }
    if (picture_ != nullptr) {
        switch (mode_) {
            case PictureMode::Stretch:
                picture_->DrawStretched(dc, client);
                break;
            case PictureMode::Tile:
                picture_->DrawTiled(dc, client);
                break;
            case PictureMode::TopLeft:
                picture_->Draw(dc, 0, 0);
                break;
        }
    }
}

LRESULT Panel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PaintDc paint(Handle());
            return 0;
        }
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
            if (HWND parent = ::GetParent(Handle())) {
                return ::SendMessageW(parent, message, wParam, lParam);
            }
            return Default(message, wParam, lParam);
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (onMouseDown) {
                onMouseDown(message == WM_LBUTTONDOWN   ? MouseButton::Left
                            : message == WM_RBUTTONDOWN ? MouseButton::Right
                                                        : MouseButton::Middle);
            }
            return 0;
        default:
            return Window::OnMessage(message, wParam, lParam);
    }
}

}  // namespace orv::widgets
