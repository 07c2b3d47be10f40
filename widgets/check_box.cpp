#include "widgets/check_box.h"
#include "platform/win32/wide.h"
#include "widgets/keyboard.h"
#include "widgets/paint.h"
#include "widgets/window_text.h"

#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <iterator>
#include <utility>

namespace orv::widgets {

bool CheckBox::Create(const CheckBoxArgs& args) {
    caption_ = std::string(args.caption);
    style_ = args.style;
    drawn_ = {};
    font_.Reset(CreateUiFont(style_.font));
    // A device context of its own: the step boxes are drawn at once, twice a second while control runs,
    // and a borrowed one is made anew (its visible area worked out again) at every drawing.
    if (!CreateChild(L"OrvCheckBox", 0, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, args.place,
                     CS_DBLCLKS | CS_OWNDC)) {
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

namespace {

constexpr float kBoxSize = 13, kBoxLeft = 3;

// The box on its background, as the check boxes of one look and size share it: the enable boxes of the
// eight rows are one picture for each colour of the step display.
struct BoxKey {
    int width = 0;
    int height = 0;
    Colour background, box, mark;
    bool checked = false;
    friend bool operator==(const BoxKey&, const BoxKey&) = default;
};

Picture DrawBox(const BoxKey& key) {
    Picture picture(key.width, key.height);
    if (picture.IsEmpty()) {
        return picture;
    }
    // The box: 13 pixels, vertically centred, a little inset from the left.
    const float size = kBoxSize, left = kBoxLeft, top = std::floor((key.height - size) / 2);
    Canvas canvas(picture);
    canvas.Clear(key.background);
    const Box box{left, top, left + size, top + size};
    canvas.FillRoundRect(box, 2.5f,
                         Fill::Vertical(Lighten(key.box, -0.15f), Lighten(key.box, 0.15f), top, top + size));
    canvas.StrokeRoundRect(box, 2.5f, 1, Fill::Solid(Lighten(key.box, 0.55f)));
    if (key.checked) {
        canvas.Line({left + 3, top + 6.8f}, {left + 5.6f, top + 9.4f}, 1.9f, Fill::Solid(key.mark));
        canvas.Line({left + 5.6f, top + 9.4f}, {left + 10.2f, top + 3.6f}, 1.9f, Fill::Solid(key.mark));
    }
    picture.Seal();
    return picture;
}

// A copy of the box for `key`, drawn once for the program (user-interface thread only). The few looks
// the program's check boxes take are kept; an unusual one pushes out the oldest.
Picture CopyOfBox(const BoxKey& key) {
    struct Kept {
        BoxKey key;
        Picture picture;
    };
    static std::deque<Kept> kept;
    constexpr size_t kMostKept = 8;
    auto found = std::find_if(kept.begin(), kept.end(), [&](const Kept& k) { return k.key == key; });
    if (found == kept.end()) {
        Picture drawn = DrawBox(key);
        if (drawn.IsEmpty()) {
            return drawn;
        }
        if (kept.size() == kMostKept) {
            kept.pop_front();
        }
        kept.push_back({key, std::move(drawn)});
        found = std::prev(kept.end());
    }
    return found->picture.Copy();
}

}  // namespace

Picture CheckBox::BoxPicture(int width, int height) const {
    return CopyOfBox(BoxKey{width, height, style_.background, style_.box, style_.mark, checked_});
}

void CheckBox::Paint(bool now) {
    const RECT client = ClientRect();
    const int width = client.right, height = client.bottom;
    const bool focused = Focused();
    for (size_t i = 0; i < drawn_.size(); ++i) {
        const std::optional<Drawn>& drawn = drawn_[i];
        if (drawn && drawn->background == style_.background && drawn->checked == checked_ &&
            drawn->focused == focused && drawn->caption == caption_ && drawn->width == width &&
            drawn->height == height) {
            if (i != 0) {
                std::swap(drawn_[0], drawn_[i]);
            }
            // The snapshot holds the whole client as it is to be shown.
            if (now) {
                if (const WindowDc dc(Handle()); dc) {
                    drawn_[0]->shown.Show(dc.Get(), 0, 0);
                }
            } else {
                const PaintDc paint(Handle());
                drawn_[0]->shown.Show(paint.Get(), 0, 0);
            }
            return;
        }
    }
    // The box is drawn into a picture, which is then the paint buffer for the caption; without a picture
    // nothing is painted.
    Picture picture = BoxPicture(width, height);
    const float size = kBoxSize, left = kBoxLeft;
    const auto drawCaption = [&](HDC dc, int, int) {
        Selection font(dc, font_.Get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ToColorRef(style_.text));
        const std::wstring caption = win32::Wide(caption_);
        RECT textBox{static_cast<LONG>(left + size + 4), 0, width, height};
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textBox,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (focused) {
            DrawFocusOutline(dc, width, height);
        }
    };
    const bool composed = now ? PaintBufferedNow(Handle(), picture.Handle(), drawCaption)
                              : PaintBuffered(Handle(), picture.Handle(), drawCaption);
    if (composed) {
        drawn_[1] = std::move(drawn_[0]);
        drawn_[0] = Drawn{Snapshot(picture), style_.background, checked_, focused, caption_, width, height};
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
