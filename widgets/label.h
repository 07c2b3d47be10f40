// A text label drawn by the program: over its parent's background, over one colour or over a
// gradient (optionally with rounded corners), with an optional one-pixel shadow copy of its text.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "widgets/canvas.h"
#include "widgets/clickable.h"
#include "widgets/gdi.h"

namespace orv::widgets {

struct LabelStyle {
    FontStyle font{};
    Colour text = kFieldTextColour;
    // The shadow copy of the text, `shadowOffset` pixels down and right, drawn first.
    std::optional<Colour> shadow;
    int shadowOffset = 1;
    // Without a fill the parent's background shows through.
    std::optional<Fill> fill;  // coordinates relative to the label
    float cornerRadius = 0;
    Align align = Align::Left;
    bool verticalCentre = false;
    int padding = 0;  // left and right, inside the fill
};

struct LabelArgs {
    ControlPlace place;
    std::string_view text{};
    LabelStyle style{};
};

class Label : public ClickableWindow {
  public:
    // A left press and release inside the label is a click (onClick); every press is reported too
    // (the title labels start dragging the window with it).

    bool Create(const LabelArgs& args);

    void SetText(std::string_view text);
    const std::string& Text() const { return text_; }
    void SetStyle(const LabelStyle& style);
    const LabelStyle& Style() const { return style_; }
    void SetTextColour(Colour colour);
    // Width of the text in the label's font.
    int TextWidth() const;

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool DrawsItself() const override { return true; }
    // Static text: its own text.
    bool Describe(AccessibleInfo& info) const override;
    void Draw(HDC dc, int width, int height) override;

  private:
    std::string text_;
    LabelStyle style_;
    Font font_;
    Picture fillPicture_;
};

}  // namespace orv::widgets
