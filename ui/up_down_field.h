// A value with two arrows, as the settings area shows the language and the "Keep log files" limit: a
// label above a read-only field in a framed panel, with an up and a down arrow at the panel's right end.
// The arrows, and Up and Down while the field has the focus, step the value; the owner shows it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "widgets/edit_field.h"
#include "widgets/hover.h"
#include "widgets/keyboard.h"
#include "widgets/label.h"
#include "widgets/panel.h"
#include "widgets/picture.h"
#include "widgets/picture_button.h"

namespace orv::ui {

// Where the field goes on its window. The label stands 20 pixels above the panel.
struct UpDownPlace {
    int left = 0;
    int panelTop = 0;
    int panelWidth = 0;
    int labelWidth = 0;
};

class UpDownField {
  public:
    static constexpr int kPanelHeight = 22;

    // `onStep` gets 1 for the up arrow and -1 for the down arrow.
    void Create(HWND window, const UpDownPlace& place, const widgets::PictureSet& buttons, HFONT font,
                std::function<void(int step)> onStep);
    void ShowValue(std::string_view text) { field_.SetText(text); }
    // The arrows' hot pictures for this tick's cursor over the window.
    void UpdateHover(const widgets::Hover& hover);
    // Up or Down while the field has the focus; false for any other focus.
    bool StepByKey(HWND focus, bool up);
    void AddToTabOrder(widgets::TabOrder& order) const;

    widgets::Label& Label() { return label_; }
    widgets::EditField& Field() { return field_; }
    HWND FieldHandle() const { return field_.Handle(); }
    std::string Text() const { return field_.Text(); }
    widgets::PictureButton& Up() { return up_; }
    widgets::PictureButton& Down() { return down_; }

  private:
    UpDownPlace place_;
    widgets::Label label_;
    widgets::Picture fill_;
    widgets::Panel panel_;
    widgets::EditField field_;
    widgets::PictureButton up_, down_;
    std::function<void(int)> onStep_;
};

}  // namespace orv::ui
