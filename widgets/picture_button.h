// A button that shows one picture of a shared picture set. The window that owns it chooses the
// picture (normal, hot, pressed) by polling the cursor; the button only paints and reports the mouse.
#pragma once

#include "widgets/clickable.h"
#include "widgets/picture.h"

namespace orv::widgets {

class PictureButton : public ClickableWindow {
  public:
    // `pictures` must outlive the button.
    bool Create(HWND parent, int x, int y, int width, int height, const PictureSet* pictures, int index);

    // Shows picture `index`; repaints only when it differs from the current one.
    void SetPicture(int index);
    int Picture() const { return index_; }
    void SetPictures(const PictureSet* pictures);
    void SetHandCursor(bool hand) { handCursor_ = hand; }
    // How often the button has painted itself (for the tests of the repaint rule).
    int PaintCount() const { return paintCount_; }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint(HDC dc) const;

    const PictureSet* pictures_ = nullptr;
    int index_ = -1;
    bool handCursor_ = false;
    int paintCount_ = 0;
};

}  // namespace orv::widgets
