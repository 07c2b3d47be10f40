#include "widgets/large_button.h"

#include "widgets/gdi.h"
#include "widgets/keyboard.h"

namespace orv::widgets {

bool LargeButton::Create(const LargeButtonArgs& args) {
    image_.SetBackdrop(args.backdrop, args.x, args.y);
    SetHandCursor(args.handCursor);
    if (!CreateChild(L"OrvLargeButton", 0, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                     {args.parent, args.x, args.y, kLargeButtonWidth, kLargeButtonHeight})) {
        return false;
    }
    NameByHint();
    return true;
}

void LargeButton::Show(const PictureSet& pictures, int index) {
    if (index == index_ && &pictures == pictures_) {
        return;  // on the screen already; the owner asks at every tick, mostly for the same picture
    }
    const bool captionChanged =
        pictures_ == nullptr || pictures_->CaptionOf(index_) != pictures.CaptionOf(index);
    index_ = index;
    pictures_ = &pictures;
    imageDrawn_ = false;
    if (captionChanged) {
        NotifyAccessibleChange(Handle(), EVENT_OBJECT_NAMECHANGE);
    }
    if (Exists() && ::IsWindowVisible(Handle())) {
        DrawImage();
        WindowDc dc(Handle());
        if (dc) {
            image_.PaintTo(dc.Get(), 0, 0);
            if (Focused()) {
                DrawFocusOutline(dc.Get(), kLargeButtonWidth, kLargeButtonHeight);
            }
        }
    }
}

bool LargeButton::Describe(AccessibleInfo& info) const {
    ClickableWindow::Describe(info);
    if (info.name.empty() && pictures_ != nullptr) {
        info.name = pictures_->CaptionOf(index_);
    }
    return true;
}

void LargeButton::DrawImage() {
    if (imageDrawn_ || pictures_ == nullptr) {
        return;
    }
    ++drawCount_;
    image_.Draw(*pictures_, index_);
    imageDrawn_ = true;
    // The work image holds the picture now; the set draws it again when the button changes back.
    pictures_->Forget(index_);
}

void LargeButton::PaintTo(HDC dc, int x, int y) {
    DrawImage();
    image_.PaintTo(dc, x, y);
}

void LargeButton::Draw(HDC dc, int width, int height) {
    DrawImage();
    image_.PaintTo(dc, 0, 0);
    if (Focused()) {
        DrawFocusOutline(dc, width, height);
    }
}

}  // namespace orv::widgets
