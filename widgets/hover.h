// The one hover test of the program's buttons: a timer tick reads the cursor once and asks, box by box,
// whether it lies over a button of the window. A button's box counts only strictly inside (its first
// row and column and its right and bottom edges do not), and nothing is under the cursor while the
// window is hidden.
#pragma once

#include <windows.h>

#include "widgets/mouse.h"

namespace orv::widgets {

class Hover {
  public:
    // `origin` is the screen position of the window's top-left corner.
    Hover(POINT cursor, POINT origin, bool windowVisible)
        : cursor_(cursor), origin_(origin), visible_(windowVisible) {}
    // This tick's cursor over `window`: its place and visibility read from the system, only while it is
    // visible.
    static Hover Over(HWND window, POINT cursor) {
        const bool visible = ::IsWindowVisible(window) != FALSE;
        RECT box{};
        if (visible) {
            ::GetWindowRect(window, &box);
        }
        return Hover(cursor, POINT{box.left, box.top}, visible);
    }

    // The same cursor over a part of the window whose top-left corner lies at (left, top).
    Hover Within(int left, int top) const {
        return Hover(cursor_, POINT{origin_.x + left, origin_.y + top}, visible_);
    }
    // Whether the box at (left, top) of the window, `width` x `height`, lies under the cursor.
    bool Hot(int left, int top, int width, int height) const {
        return visible_ && IsStrictlyInside(BoxAt(origin_.x + left, origin_.y + top, width, height), cursor_);
    }
    // The picture of a button with a normal and a hot picture, whose box that is.
    int Picture(int left, int top, int width, int height, int normal, int hot) const {
        return Hot(left, top, width, height) ? hot : normal;
    }

  private:
    POINT cursor_;
    POINT origin_;
    bool visible_;
};

}  // namespace orv::widgets
