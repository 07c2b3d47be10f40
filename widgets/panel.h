// A child window that holds other controls and is filled with a picture (stretched or repeated) or
// one colour, or shows its parent's background. Notifications of standard controls placed on it
// (WM_COMMAND, WM_CTLCOLOR..., WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM) go on to its parent, so that
// the window owning the panel handles them as if the controls were its own.
#pragma once

#include <functional>
#include <optional>

#include "widgets/canvas.h"
#include "widgets/picture.h"
#include "widgets/window.h"

namespace orv::widgets {

class Panel : public Window {
  public:
    enum class PictureMode { Stretch, Tile, TopLeft };

    std::function<void(MouseButton)> onMouseDown;

    bool Create(const ControlPlace& place);

    // `picture` must outlive the panel; nullptr shows the colour or the parent's background again.
    void SetPicture(const Picture* picture, PictureMode mode = PictureMode::Stretch);
    void SetColour(std::optional<Colour> colour);

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintBackground(HDC dc) override;
    // A panel with a hint (an object's row) is a group named by it; others are left to the system.
    bool Describe(AccessibleInfo& info) const override;

  private:
    const Picture* picture_ = nullptr;
    PictureMode mode_ = PictureMode::Stretch;
    std::optional<Colour> colour_;
};

}  // namespace orv::widgets
