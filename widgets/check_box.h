// A check box drawn by the program: a small box with a check mark and a caption, on a background
// colour the program can change (the scan's step display colours the enable boxes). A click by the
// user toggles the mark and then reports it; setting the mark from the program reports nothing.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "widgets/canvas.h"
#include "widgets/clickable.h"
#include "widgets/gdi.h"
#include "widgets/picture.h"

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
    // The box on the background, without the caption, in a picture of its own.
    Picture BoxPicture(int width, int height) const;

    // The box as composed for a state, ready to be shown again: the step display takes an enable box
    // back and forth between two colours, and drawing it anew each time (the box, then the caption in
    // its font) costs more than anything else the window does while the scan runs.
    struct Drawn {
        Snapshot shown;
        Colour background;
        bool checked = false;
        bool focused = false;
        std::string caption;
        int width = 0;
        int height = 0;
    };
    std::string caption_;
    CheckBoxStyle style_;
    Font font_;
    bool checked_ = false;
    std::array<std::optional<Drawn>, 2> drawn_;  // the last two states shown, the newest first
};

}  // namespace orv::widgets
