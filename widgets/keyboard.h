// The keys a window of the program handles for the whole window rather than for the control that has
// the focus: Tab and Shift+Tab move the focus, Up and Down step a field, Esc closes. Every message loop
// of the program hands key presses to TranslateWindowKey before the focused control sees them; the
// top-level window gets them as WindowKeyMessage and answers nonzero when it took the key.
#pragma once

#include <windows.h>

#include <vector>

namespace orv::widgets {

// wParam: the virtual key, with kWindowKeyShift set while Shift is down; lParam: the focused window.
UINT WindowKeyMessage();
inline constexpr WPARAM kWindowKeyShift = 0x10000;

// True when the key press `message` was taken by its top-level window (and must not be dispatched).
bool TranslateWindowKey(const MSG& message);
// One message of a message loop: the window keys first, then the usual translation and dispatch. The
// running hints see every mouse press it takes.
void DispatchWithKeys(const MSG& message);

// Draws the focus outline, in the skin's colours, around the edge of a `width` x `height` client area.
// Creates no GDI object (it uses the device context's own pen).
void DrawFocusOutline(HDC dc, int width, int height);

// The order Tab follows through a window's controls. Hidden and disabled controls are passed over.
class TabOrder {
  public:
    void Add(HWND control) { controls_.push_back(control); }
    // The control after `from` (before it with `backward`), round the end. From a window that holds
    // some of the controls, its first one (the one before it); from any other window, the first (the
    // last). Null when no control can take the focus.
    HWND Next(HWND from, bool backward) const;
    // Gives the focus to Next(from, backward); false when there is none.
    bool Move(HWND from, bool backward) const;
    const std::vector<HWND>& Controls() const { return controls_; }

  private:
    std::vector<HWND> controls_;
};

}  // namespace orv::widgets
