// The mouse on the program's windows: a left press from press to release, dragging a window by its
// background, and the one hit test the hover pictures use.
#pragma once

#include <windows.h>

namespace orv::widgets {

enum class MouseButton { Left, Right, Middle };

// A left-button press on a window, from the press to the release. The press takes the mouse, so that the
// release comes back to the window wherever it happens; a release inside the client area is a click.
class LeftPress {
  public:
    bool Held() const { return held_; }
    // On WM_LBUTTONDOWN and WM_LBUTTONDBLCLK.
    void Begin(HWND window);
    // On WM_LBUTTONUP: ends a held press and gives the mouse back. True when the release at `position`
    // (client coordinates) lies inside `window`: a click.
    bool End(HWND window, LPARAM position);
    // On WM_CAPTURECHANGED: true when a held press is over because another window took the mouse.
    bool Lost(HWND window, LPARAM newCapture);

  private:
    bool held_ = false;
};

// Frees the mouse and lets the system move `window` with it, as a press on a caption would.
void BeginWindowDrag(HWND window);

// For a window dragged by its background: a press of any button (the second press of a quick left
// double press too) with the left button among the buttons held starts dragging it.
bool PressStartsDrag(UINT message, WPARAM wParam);
// Starts dragging `window` when the press `message` should; true when it did.
bool DragOnPress(HWND window, UINT message, WPARAM wParam);

// A box `width` x `height` with its top-left corner at (left, top).
inline RECT BoxAt(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

// True when the point lies strictly inside `box` (the first row and column do not count, nor do right
// and bottom).
inline bool IsStrictlyInside(const RECT& box, POINT point) {
    return box.left < point.x && point.x < box.right && box.top < point.y && point.y < box.bottom;
}

}  // namespace orv::widgets
