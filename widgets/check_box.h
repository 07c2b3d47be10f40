// A check box drawn by the program: a small box with a check mark and a caption, on a background
// colour the program can change (the scan's step display colours the enable boxes). A click by the
// user toggles the mark and then reports it; setting the mark from the program reports nothing.
#pragma once

#include <functional>
#include <string>

#include "widgets/canvas.h"
#include "widgets/clickable.h"
#include "widgets/gdi.h"

namespace orv::widgets {

struct CheckBoxStyle {
    FontStyle font{};
    Colour background = kWindowColour;
    Colour text = kFieldTextColour;
    Colour box = kFieldColour;
    Colour mark = Rgb(255, 255, 255);
};

struct CheckBoxArgs {
    ControlPlace place;
    std::string_view caption{};
    CheckBoxStyle style{};
};

class CheckBox : public ClickableWindow {
  public:
    // onClick fires after the mark has been toggled by the user (mouse or space bar).

    bool Create(const CheckBoxArgs& args);

    bool Checked() const { return checked_; }
    // Sets the mark without reporting a click.
    void SetChecked(bool checked);
    void SetBackground(Colour colour);
    Colour Background() const { return style_.background; }
    void SetCaption(std::string_view caption);

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Clicked() override { Toggle(); }
    // A check box with its mark, named by its hint, else by its caption.
    bool Describe(AccessibleInfo& info) const override;

  private:
    // For WM_PAINT; `now`: at once, outside it.
    void Paint(bool now = false);
    void Toggle();

    std::string caption_;
    CheckBoxStyle style_;
    Font font_;
    bool checked_ = false;
};

}  // namespace orv::widgets
