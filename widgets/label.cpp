#include "widgets/label.h"

#include <oleacc.h>

#include "platform/win32/wide.h"
#include "widgets/paint.h"
#include "widgets/window_text.h"

namespace orv::widgets {

bool Label::Create(const LabelArgs& args) {
    text_ = std::string(args.text);
    SetStyle(args.style);
    return CreateChild(L"OrvLabel", 0, WS_VISIBLE | WS_CLIPSIBLINGS, args.place);
}

void Label::SetText(std::string_view text) {
    if (text_ == text) {
        return;
    }
    text_ = std::string(text);
    Repaint();
    NotifyAccessibleChange(Handle(), EVENT_OBJECT_NAMECHANGE);
}

bool Label::Describe(AccessibleInfo& info) const {
    info.name = win32::Wide(text_);
    info.role = ROLE_SYSTEM_STATICTEXT;
    info.state = WindowStates(Handle(), false) | STATE_SYSTEM_READONLY;
    return true;
}

void Label::SetStyle(const LabelStyle& style) {
    style_ = style;
    font_.Reset(CreateUiFont(style_.font));
    fillPicture_ = Picture();
    Repaint();
}

void Label::SetTextColour(Colour colour) {
    if (style_.text == colour) {
        return;
    }
    style_.text = colour;
    Repaint();
}

int Label::TextWidth() const {
    return Canvas::MeasureText(win32::Wide(text_), style_.font).cx;
}

void Label::Draw(HDC dc, int width, int height) {
    DrawParentBackground(Handle(), dc);
    if (style_.fill) {
        if (fillPicture_.Width() != width || fillPicture_.Height() != height) {
            fillPicture_ = Picture(width, height);
            Canvas canvas(fillPicture_);
            canvas.FillRoundRect(Box{0, 0, static_cast<float>(width), static_cast<float>(height)},
                                 style_.cornerRadius, *style_.fill);
            fillPicture_.Seal();
            fillPicture_.Compact();
        }
        fillPicture_.Draw(dc, 0, 0);
    }
    const std::wstring text = win32::Wide(text_);
    Selection font(dc, font_.Get());
    ::SetBkMode(dc, TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_NOPREFIX;
    format |= style_.align == Align::Centre ? DT_CENTER : (style_.align == Align::Right ? DT_RIGHT : DT_LEFT);
    if (style_.verticalCentre) {
        format |= DT_VCENTER;
    }
    RECT box{style_.padding, 0, width - style_.padding, height};
    if (style_.shadow) {
        RECT shadowBox = box;
        ::OffsetRect(&shadowBox, style_.shadowOffset, style_.shadowOffset);
        ::SetTextColor(dc, ToColorRef(*style_.shadow));
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shadowBox, format);
    }
    ::SetTextColor(dc, ToColorRef(style_.text));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
}

LRESULT Label::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            fillPicture_ = Picture();
            return ClickableWindow::OnMessage(message, wParam, lParam);
        default:
            return ClickableWindow::OnMessage(message, wParam, lParam);
    }
}

}  // namespace orv::widgets
