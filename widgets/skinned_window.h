// A top-level window without border or caption: a skin picture painted at (0, 0), a colour where the
// skin does not reach, and an outline made of rectangles. The program's windows derive from it.
#pragma once

#include <span>

#include "widgets/canvas.h"
#include "widgets/gdi.h"
#include "widgets/picture.h"
#include "widgets/window.h"

namespace orv::widgets {

// The union of `rectangles` (right and bottom exclusive); an empty region for an empty list.
Region RegionFromRectangles(std::span<const RECT> rectangles);

struct SkinnedWindowArgs {
    const wchar_t* className = nullptr;
    std::wstring_view title{};
    int x = 0, y = 0, width = 0, height = 0;
    HWND owner = nullptr;
    DWORD exStyle = 0;  // e.g. WS_EX_APPWINDOW
    // A modal window has none: minimised, it would leave its disabled owner unreachable.
    bool minimiseBox = true;
    // A press on the window's background with the left button held moves the window, as a press on a
    // caption would (the skinned windows have no caption).
    bool draggedByBackground = false;
};

class SkinnedWindow : public Window {
  public:
    // The window starts hidden.
    bool Create(const SkinnedWindowArgs& args);

    // `skin` must outlive the window; nullptr leaves the colour alone.
    void SetSkin(const Backdrop* skin);
    void SetColour(Colour colour);
    // Limits the visible window to the rectangles. False (outline unchanged) when the region cannot be made.
    bool SetOutline(std::span<const RECT> rectangles);

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintBackground(HDC dc) override;
    // Painted after the background; derived windows draw their own graphics here.
    virtual void PaintContent(HDC) {}
    // The skin and the content are composed off-screen and copied on in one piece.
    bool DrawsItself() const override { return true; }
    void Draw(HDC dc, int width, int height) override;
    // A window key (Tab, Esc, Up, Down; see keyboard.h) pressed while `focus` had the focus; true when
    // the window took it.
    virtual bool OnWindowKey(UINT /*key*/, bool /*shift*/, HWND /*focus*/) { return false; }

  private:
    const Backdrop* skin_ = nullptr;
    bool draggedByBackground_ = false;
    Colour colour_ = kWindowColour;
};

}  // namespace orv::widgets
