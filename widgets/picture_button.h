// A button that shows one picture of a shared picture set. The window that owns it chooses the
// picture (normal, hot, pressed) by polling the cursor; the button only paints and reports the mouse.
#pragma once

#include <functional>

#include "widgets/picture.h"
#include "widgets/window.h"

namespace orv::widgets {

class PictureButton : public Window {
  public:
    // Fires on a left press followed by a left release inside the button.
    std::function<void()> onClick;
    // Every press and release with the button that did it (the owner keeps the left ones only).
    std::function<void(MouseButton)> onMouseDown;
    std::function<void(MouseButton)> onMouseUp;

    // `pictures` must outlive the button.
    bool Create(HWND parent, int x, int y, int width, int height, const PictureSet* pictures, int index);

    // Shows picture `index`; repaints only when it differs from the current one.
    void SetPicture(int index);
    int Picture() const { return index_; }
    void SetPictures(const PictureSet* pictures);
    void SetHandCursor(bool hand) { handCursor_ = hand; }
    // True between a left press on the button and the left release.
    bool LeftHeld() const { return press_.Held(); }
    // How often the button has painted itself (for the tests of the repaint rule).
    int PaintCount() const { return paintCount_; }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint(HDC dc) const;
    void Press(MouseButton button);
    void Release(MouseButton button, LPARAM position);

    const PictureSet* pictures_ = nullptr;
    int index_ = -1;
    bool handCursor_ = false;
    LeftPress press_;
    int paintCount_ = 0;
};

}  // namespace orv::widgets
