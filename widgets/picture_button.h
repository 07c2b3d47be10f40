// A button that shows one picture of a shared picture set. The window that owns it chooses the
// picture (normal, hot, pressed) by polling the cursor; the button only paints and reports the mouse.
#pragma once

#include "widgets/clickable.h"
#include "widgets/picture.h"

namespace orv::widgets {

struct PictureButtonArgs {
    ControlPlace place;
    // Must outlive the button.
    const PictureSet* pictures = nullptr;
    int picture = -1;
    // A box the user ticks: the picture that shows it ticked. A screen reader then hears a check box (a
    // radio button when the box is one of a group) with its mark, named by its hint or by the label made
    // right after it.
    int tickedPicture = -1;
    bool radio = false;
};

class PictureButton : public ClickableWindow {
  public:
    bool Create(const PictureButtonArgs& args);

    // Shows picture `index`; repaints only when it differs from the current one.
    void SetPicture(int index);
    int Picture() const { return index_; }
    void SetPictures(const PictureSet* pictures);
    // How often the button has painted itself (for the tests of the repaint rule).
    int PaintCount() const { return paintCount_; }

  protected:
    bool DrawsItself() const override { return true; }
    bool Describe(AccessibleInfo& info) const override;
    void Draw(HDC dc, int width, int height) override;

  private:
    const PictureSet* pictures_ = nullptr;
    int index_ = -1;
    int tickedPicture_ = -1;
    bool radio_ = false;
    int paintCount_ = 0;
};

}  // namespace orv::widgets
