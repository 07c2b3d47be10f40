#include "widgets/picture_button.h"

#include <oleacc.h>

#include "widgets/gdi.h"
#include "widgets/keyboard.h"
#include "widgets/paint.h"

namespace orv::widgets {

bool PictureButton::Create(const PictureButtonArgs& args) {
    pictures_ = args.pictures;
    index_ = args.picture;
    tickedPicture_ = args.tickedPicture;
    radio_ = args.radio;
    if (!CreateChild(L"OrvPictureButton", 0, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, args.place)) {
        return false;
    }
    NameByHint();
    return true;
}

void PictureButton::SetPicture(int index) {
    if (index == index_) {
        return;
    }
    const bool wasTicked = index_ == tickedPicture_;
    index_ = index;
    Repaint();
    if (tickedPicture_ >= 0 && wasTicked != (index_ == tickedPicture_)) {
        NotifyAccessibleChange(Handle(), EVENT_OBJECT_STATECHANGE);
    }
}

bool PictureButton::Describe(AccessibleInfo& info) const {
    ClickableWindow::Describe(info);
    if (tickedPicture_ < 0) {
        return true;
    }
    info.role = radio_ ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON;
    if (index_ == tickedPicture_) {
        info.state |= STATE_SYSTEM_CHECKED;
    }
    if (info.name.empty()) {
        info.name = LabelAfter(Handle());
    }
    return true;
}

void PictureButton::SetPictures(const PictureSet* pictures) {
    pictures_ = pictures;
    Repaint();
}

void PictureButton::Draw(HDC dc, int width, int height) {
    ++paintCount_;
    // The parent's background first, so that the picture's soft edges blend into it.
    DrawParentBackground(Handle(), dc);
    if (pictures_ != nullptr) {
        pictures_->Draw(index_, dc, 0, 0);
    }
    if (Focused()) {
        DrawFocusOutline(dc, width, height);
    }
}

}  // namespace orv::widgets
