// A large button (start, reset; apply, reset, run, close in the macro editor): a child window that
// shows the picture its owner chose, drawn over the window's skin into its work image so that the soft
// edges and the shadow blend in. The owner picks the picture from the cursor at every timer tick.
#pragma once

#include "widgets/clickable.h"
#include "widgets/pictures.h"
#include "widgets/work_image.h"

namespace orv::widgets {

struct LargeButtonArgs {
    HWND parent = nullptr;
    int x = 0, y = 0;
    // The parent's skin, behind the button; it must outlive the button.
    const Backdrop* backdrop = nullptr;
    bool handCursor = false;
};

class LargeButton : public ClickableWindow {
  public:
    bool Create(const LargeButtonArgs& args);
    // Draws picture `index` of `pictures` into the work image and, while the button is on the screen,
    // paints it at once. While hidden the choice is only noted: the next painting draws it, so that a
    // hidden window makes none of its pictures. The picture already shown is not drawn again.
    void Show(const PictureSet& pictures, int index);
    // The picture shown last (-1 before the first).
    int Picture() const { return index_; }
    // How often a picture was drawn into the work image (tests: a tick that changes nothing draws none).
    int DrawCount() const { return drawCount_; }
    // The work image at (x, y) of `dc`, for a parent that paints its children's places itself.
    void PaintTo(HDC dc, int x, int y);

  protected:
    bool DrawsItself() const override { return true; }
    // A push button named by its hint, else by the caption its picture shows.
    bool Describe(AccessibleInfo& info) const override;
    void Draw(HDC dc, int width, int height) override;

  private:
    // Draws the chosen picture into the work image unless it is there already.
    void DrawImage();

    WorkImage image_{kLargeButtonWidth, kLargeButtonHeight};
    int index_ = -1;
    const PictureSet* pictures_ = nullptr;  // of the picture shown last
    bool imageDrawn_ = false;               // the work image holds picture index_
    int drawCount_ = 0;
};

}  // namespace orv::widgets
