// A text field: the system's edit control with the program's font and colours.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "widgets/standard_control.h"

namespace orv::widgets {

struct EditFieldArgs {
    ControlPlace place;
    std::string_view text{};
    bool readOnly = false;
    bool tabStop = false;
    // Scrolls sideways as the user types past the right edge.
    bool autoScroll = true;
    // The most characters the user may type; 0 for the system's limit.
    int limit = 0;
    HFONT font = nullptr;
    std::optional<TextColours> colours{};
};

class EditField : public StandardControl {
  public:
    // The text changed by the user; a change made by the program through SetText does not fire it.
    std::function<void()> onTextChanged;

    bool Create(const EditFieldArgs& args);

    std::string Text() const;
    // Sets the text when it differs; true when it changed.
    bool SetText(std::string_view text);
    // Puts the caret after the last character.
    void CaretToEnd();

  protected:
    void OnCommand(int code) override;
    // Editable or read-only text, named by its label, with its text as value.
    bool Describe(AccessibleInfo& info) const override;

  private:
    bool settingText_ = false;
};

}  // namespace orv::widgets
