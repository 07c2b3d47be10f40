#include "widgets/check_box.h"
#include "platform/win32/wide.h"
#include "widgets/keyboard.h"
#include "widgets/paint.h"
#include "widgets/window_text.h"

#include <oleacc.h>

#include <cmath>

namespace orv::widgets {

bool CheckBox::Create(const CheckBoxArgs& args) {
    caption_ = std::string(args.caption);
    style_ = args.style;
    font_.Reset(CreateUiFont(style_.font));
    if (!CreateChild(L"OrvCheckBox", 0, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, args.place)) {
        return false;
    }
    NameByHint();
    return true;
}

void CheckBox::SetChecked(bool checked) {
    if (checked_ != checked) {
        checked_ = checked;
        Repaint();
        NotifyAccessibleChange(Handle(), EVENT_OBJECT_STATECHANGE);
    }
}

bool CheckBox::Describe(AccessibleInfo& info) const {
    ClickableWindow::Describe(info);
    if (info.name.empty()) {
        info.name = win32::Wide(caption_);
    }
    info.role = ROLE_SYSTEM_CHECKBUTTON;
    if (checked_) {
        info.state |= STATE_SYSTEM_CHECKED;
    }
    return true;
}

void CheckBox::SetBackground(Colour colour) {
    if (!(style_.background == colour)) {
        style_.background = colour;
        // The step display changes two boxes every second while control runs: drawn at once.
        if (Exists() && ::IsWindowVisible(Handle())) {
            Paint(true);
        } else {
            Repaint();
        }
    }
}

void CheckBox::SetCaption(std::string_view caption) {
    if (caption_ != caption) {
        caption_ = std::string(caption);
        Repaint();
    }
}

void CheckBox::Toggle() {
    checked_ = !checked_;
    Repaint();
    NotifyAccessibleChange(Handle(), EVENT_OBJECT_STATECHANGE);
    if (onClick) {
        onClick();
    }
}

void CheckBox::Paint(bool now) {
    const RECT client = ClientRect();
    const int width = client.right, height = client.bottom;
    // The box is drawn into a picture, which is then the paint buffer for the caption; without a picture
    // nothing is painted.
    Picture picture(width, height);
    // The box: 13 pixels, vertically centred, a little inset from the left.
    const float size = 13, left = 3, top = std::floor((height - size) / 2);
    if (!picture.IsEmpty()) {
        Canvas canvas(picture);
        canvas.Clear(style_.background);
        const Box box{left, top, left + size, top + size};
        canvas.FillRoundRect(
            box, 2.5f,
            Fill::Vertical(Lighten(style_.box, -0.15f), Lighten(style_.box, 0.15f), top, top + size));
        canvas.StrokeRoundRect(box, 2.5f, 1, Fill::Solid(Lighten(style_.box, 0.55f)));
        if (checked_) {
            canvas.Line({left + 3, top + 6.8f}, {left + 5.6f, top + 9.4f}, 1.9f, Fill::Solid(style_.mark));
            canvas.Line({left + 5.6f, top + 9.4f}, {left + 10.2f, top + 3.6f}, 1.9f,
                        Fill::Solid(style_.mark));
        }
        picture.Seal();
    }
    const auto drawCaption = [&](HDC dc, int, int) {
        Selection font(dc, font_.Get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ToColorRef(style_.text));
        const std::wstring caption = win32::Wide(caption_);
        RECT textBox{static_cast<LONG>(left + size + 4), 0, width, height};
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textBox,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (Focused()) {
            DrawFocusOutline(dc, width, height);
        }
    };
    if (now) {
        PaintBufferedNow(Handle(), picture.Handle(), drawCaption);
    } else {
        PaintBuffered(Handle(), picture.Handle(), drawCaption);
    }
}

LRESULT CheckBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return ClickableWindow::OnMessage(message, wParam, lParam);
    }
}

}  // namespace orv::widgets
