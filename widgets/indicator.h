// A filled rectangle that shows a state by its colour (the path and text indicators, the start
// indicator), with an optional one-pixel outline.
#pragma once

#include <optional>

#include "widgets/canvas.h"
#include "widgets/window.h"

namespace orv::widgets {

struct IndicatorArgs {
    ControlPlace place;
    Colour colour{};
    std::optional<Colour> outline{};
};

class Indicator : public Window {
  public:
    bool Create(const IndicatorArgs& args);

    // Repaints only when the colour changes.
    void SetColour(Colour colour);
    Colour GetColour() const { return colour_; }

  protected:
    bool DrawsItself() const override { return true; }
    // A lamp is read as text: its hint, which tells the outcome its colour shows.
    bool Describe(AccessibleInfo& info) const override;
    void Draw(HDC dc, int width, int height) override;

  private:
    Colour colour_{};
    std::optional<Colour> outline_;
};

}  // namespace orv::widgets
