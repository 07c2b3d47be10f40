// The settings area's "Keep log files" field: a label above a read-only field with two arrows, made
// like the language selector. The arrows (and Up and Down on the field) step through the limits.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "lang/language.h"
#include "platform/colour.h"
#include "widgets/edit_field.h"
#include "widgets/keyboard.h"
#include "widgets/label.h"
#include "widgets/panel.h"
#include "widgets/picture.h"
#include "widgets/picture_button.h"
#include "widgets/pictures.h"

namespace orv::ui {

// The field's place on the main window: right of the reset button, its label above it.
inline constexpr int kLogKeepLeft = 404, kLogKeepLabelTop = 512, kLogKeepPanelTop = 532;
inline constexpr int kLogKeepWidth = 110, kLogKeepHeight = 22;

// The text the field shows for a limit: "forever", "1 day", "7 days", ... in the table's language.
std::string LogKeepText(int32_t days, const lang::LanguageTable& texts);

class LogKeepField {
  public:
    // `onStep` gets 1 for the up arrow and -1 for the down arrow.
    void Create(HWND window, const widgets::ProgramPictures& pictures, HFONT font,
                std::function<void(int step)> onStep);
    void ShowValue(int32_t days, const lang::LanguageTable& texts);
    // The arrows' hot pictures for this tick's cursor (screen) and the window's origin.
    void UpdateHover(POINT cursor, POINT window, bool windowVisible);
    // Up or Down while the field has the focus; false for any other focus.
    bool StepByKey(HWND focus, bool up);
    void AddToTabOrder(widgets::TabOrder& order) const;

    widgets::Label& Label() { return label_; }
    HWND FieldHandle() const { return field_.Handle(); }
    std::string Text() const { return field_.Text(); }
    widgets::PictureButton& Up() { return up_; }
    widgets::PictureButton& Down() { return down_; }

  private:
    widgets::Label label_;
    widgets::Picture fill_;
    widgets::Panel panel_;
    widgets::EditField field_;
    widgets::PictureButton up_, down_;
    std::function<void(int)> onStep_;
};

}  // namespace orv::ui
