// A window that reports the mouse's presses, releases and clicks to its owner: the base of the buttons.
#pragma once

#include <functional>

#include "widgets/mouse.h"
#include "widgets/window.h"

namespace orv::widgets {

// Enter and Space press a focused clickable window as a click does; it repaints when it gains or loses
// the focus, for its focus outline.
class ClickableWindow : public Window {
  public:
    // Fires on a left press followed by a left release inside the window.
    std::function<void()> onClick;
    // Every press and release with the button that did it. A left press that ends because another
    // window took the mouse is released too, so that an owner's pressed flag never outlives the press.
    std::function<void(MouseButton)> onMouseDown;
    std::function<void(MouseButton)> onMouseUp;

    // True between a left press on the window and its end.
    bool LeftHeld() const { return press_.Held(); }
    // The hand over the window instead of the arrow.
    void SetHandCursor(bool hand) { handCursor_ = hand; }

  protected:
    // Followed by the focus messages: a paint asks the system nothing for its focus outline.
    bool Focused() const { return Exists() && focused_; }
    // A push button named by its text (the hint, or the caption of a large button's picture).
    bool Describe(AccessibleInfo& info) const override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A left press and release inside the window; reports onClick unless a widget does more.
    virtual void Clicked() {
        if (onClick) {
            onClick();
        }
    }

  private:
    void Press(MouseButton button);
    void Release(MouseButton button, LPARAM position);

    LeftPress press_;
    bool handCursor_ = false;
    bool focused_ = false;
};

}  // namespace orv::widgets
