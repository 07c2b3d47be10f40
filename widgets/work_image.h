// An off-screen picture into which a large button is drawn before it is painted on its window: the
// window's own background at the button's place first, so that the button's soft edges and shadow
// blend into the skin, then the button's picture at the top-left corner.
#pragma once

#include <windows.h>

#include "widgets/picture.h"

namespace orv::widgets {

class WorkImage {
  public:
    // The pixels are allocated at the first Draw: a button that is never shown costs none.
    WorkImage(int width, int height) : width_(width), height_(height) {}

    // The part of `backdrop` (the window's skin, which must outlive this) that lies behind the image,
    // its top-left corner at (x, y) of the skin.
    void SetBackdrop(const Backdrop* backdrop, int x, int y);
    // Draws the backdrop and picture `index` of `pictures`; false when there is no such picture
    // (the image then shows the backdrop alone).
    bool Draw(const PictureSet& pictures, int index);
    void PaintTo(HDC dc, int x, int y) const { image_.Draw(dc, x, y); }

    const Picture& Image() const { return image_; }

  private:
    int width_, height_;
    Picture image_;
    const Backdrop* backdrop_ = nullptr;
    int backdropX_ = 0, backdropY_ = 0;
};

}  // namespace orv::widgets
