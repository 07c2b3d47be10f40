#include "widgets/work_image.h"

#include "widgets/gdi.h"

namespace orv::widgets {

void WorkImage::SetBackdrop(const Backdrop* backdrop, int x, int y) {
    backdrop_ = backdrop;
    backdropX_ = x;
    backdropY_ = y;
}

bool WorkImage::Draw(const PictureSet& pictures, int index) {
    if (image_.IsEmpty()) {
        image_ = Picture(width_, height_);
        if (image_.IsEmpty()) {
            return false;
        }
    }
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) {
        return false;
    }
    Selection selected(dc.Get(), image_.Handle());
    // Opaque black first: parts the backdrop does not cover must not keep the last picture.
    ::PatBlt(dc.Get(), 0, 0, image_.Width(), image_.Height(), BLACKNESS);
    if (backdrop_ != nullptr) {
        backdrop_->DrawPart(
            dc.Get(), 0, 0,
            RECT{backdropX_, backdropY_, backdropX_ + image_.Width(), backdropY_ + image_.Height()});
    }
    const bool drawn = pictures.Draw(index, dc.Get(), 0, 0);
    ::GdiFlush();
    // Whatever was blended in, the image itself is opaque and is copied onto the window.
    const size_t count = static_cast<size_t>(image_.Width()) * image_.Height();
    for (size_t i = 0; i < count; ++i) {
        image_.Pixels()[i] |= 0xFF000000u;
    }
    image_.Seal();
    return drawn;
}

}  // namespace orv::widgets
