// One row of the main window: the panel of one control object (Panel_Obj1 ... Panel_Obj8) with its
// fifteen controls. The row shows the object's state and edits it through the engine; every edit but
// the search text stops control.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "engine/engine.h"
#include "lang/apply.h"
#include "lang/language.h"
#include "macros/macro_table.h"
#include "settings/startup.h"
#include "ui/panel_logic.h"
#include "widgets/check_box.h"
#include "widgets/edit_field.h"
#include "widgets/hints.h"
#include "widgets/hover.h"
#include "widgets/indicator.h"
#include "widgets/keyboard.h"
#include "widgets/panel.h"
#include "widgets/picture_button.h"
#include "widgets/pictures.h"
#include "widgets/role_map.h"

namespace orv::ui {

// Panel N's place on the main window.
inline constexpr int kPanelLeft = 36;
inline constexpr int kPanelWidth = 720;
inline constexpr int kPanelHeight = 22;
inline int PanelTop(int number) {
    return 140 + 30 * (number - 1);
}

// The text colour and background of the panels' text fields.
inline constexpr Colour kPanelFieldText = kFieldTextColour;
inline constexpr Colour kPanelFieldBackground = kFieldColour;

// The shell's folder browser for a type: rooted at My Computer, file-system items only, files listed
// for the file and application types. Nothing when the user cancelled.
std::optional<BrowseChoice> BrowseForItem(HWND owner, ObjectType type);

// What the panels share with the main window.
struct PanelServices {
    engine::Engine* engine = nullptr;
    macros::MacroTable* macros = nullptr;
    // The search text's changes go through the settings' owner, which keeps object 1's text across a
    // reset.
    settings::ProgramState* state = nullptr;
    const widgets::PictureSet* buttons = nullptr;  // BitmapList_Btn
    widgets::Hints* hints = nullptr;
    HFONT fieldFont = nullptr;
    // Stops control when it runs (the start button's stop).
    std::function<void()> stopControl;
    // Steps 3 and 4 of the action button: the macro editor on macro N, or hidden when it is open.
    std::function<void(int)> openMacroEditor;
    // The browse dialog (the window passes BrowseForItem unless a test catches it).
    std::function<std::optional<BrowseChoice>(HWND, ObjectType)> browse;
};

class ObjectPanel {
  public:
    bool Create(HWND parent, int number, const PanelServices& services);
    int Number() const { return number_; }

    // --- The row's routines ---
    void RefreshObjectPanel();
    void ApplyObjectType();
    void ApplyObjectParam();
    void ShowObjectAction();
    void FillObjectPanel();
    // After a reset of every object: the enable box checked and the row shown afresh.
    void ShowReset();
    // The language switch: the hints, the type, parameter and action texts, and the presence text of
    // the item last looked for, in the language of `table`. Nothing is looked for again.
    void ShowLanguage(const lang::LanguageTable& table);
    // The hints of the row's controls in the language of `table`. The path indicator's is the designed
    // one until the row shows its state.
    void ShowHints(const lang::LanguageTable& table);

    // --- Handlers ---
    void Cb_Razr_Click();  // after the box has toggled its mark
    void Sb_Type_UpClick();
    void Sb_Type_DownClick();
    void Sb_PathClick();
    void Edit_PathChange();
    void Sb_Param_UpClick();
    void Sb_Param_DownClick();
    void Edit_StringChange();
    void Sb_ActionClick();

    // --- What the main window sets ---
    // The enable box's mark from the program (loading, reset): no click.
    void SetRazrMark(bool checked) { razr_.SetChecked(checked); }
    // The scan's step display.
    void SetStepColour(Colour colour) { razr_.SetBackground(colour); }
    // A check's colours and hints.
    void ShowCheckReport(const engine::IndicatorReport& report);
    // The answer to a look for the row's item (a type applied, a fill, a browse).
    void ShowItemReport(const engine::ItemReport& report);
    // The action field and the macro indicator for the row's macro as it is now.
    void ShowMacro();
    // Hover pictures of the six buttons for this tick's cursor over the main window.
    void UpdateHover(const widgets::Hover& hover);
    // The row's fields and buttons in reading order, for Tab.
    void AddToTabOrder(widgets::TabOrder& order) const;
    // Up or Down pressed on `field`: the type and parameter fields step as their arrows do. False when
    // `field` is neither.
    bool StepByKey(HWND field, bool up);
    // A control of the row by the role whose text it shows.
    HWND Handle(lang::PanelControl control) const { return roles_.Handle(control); }

    // --- What the row shows (the tests read these) ---
    HWND PanelHandle() const { return panel_.Handle(); }
    std::string TypeField() const;
    std::string PathField() const;
    std::string ParamField() const;
    std::string SearchField() const;
    std::string ActionField() const;
    bool RazrChecked() const { return razr_.Checked(); }
    Colour StepColour() const { return razr_.Background(); }
    Colour PathIndicator() const { return pathIndicator_.GetColour(); }
    Colour StringIndicator() const { return stringIndicator_.GetColour(); }
    Colour MacroIndicatorColour() const { return macroIndicator_.GetColour(); }
    std::string HintOf(HWND control) const;
    HWND PathIndicatorHandle() const { return pathIndicator_.Handle(); }
    HWND PathFieldHandle() const { return pathField_.Handle(); }
    HWND SearchFieldHandle() const { return searchField_.Handle(); }
    HWND RazrHandle() const { return razr_.Handle(); }
    HWND MacroIndicatorHandle() const { return macroIndicator_.Handle(); }
    bool FieldsVisible() const;
    bool SearchVisible() const;
    // The six hover buttons in the timer's order: type up, type down, path, parameter up, parameter
    // down, action.
    const widgets::PictureButton& Button(int index) const { return *buttons_[index]; }
    widgets::PictureButton& Button(int index) { return *buttons_[index]; }
    widgets::CheckBox& RazrBox() { return razr_; }

  private:
    // Each control that shows a language text under its role, once the controls exist.
    void MapControls();
    void StopControl();
    // A spin button's step, shown, then control stopped.
    void StepType(engine::Step step);
    void StepParam(engine::Step step);
    // Sets a field's text when it differs, without its change notification; true when it changed.
    bool SetFieldText(widgets::EditField& field, std::string_view text);
    void SetPathField(std::string_view text);
    // The type's text, the parameter and the type's kept path, while the item is looked for.
    void ApplyObjectType(engine::ItemPurpose purpose);
    // The presence of the item last looked for in the path field (unless it keeps the stored path) and
    // the indicator, in the current language.
    void ShowPresence(bool pathField);
    void CaretToEndAndHint();
    void SetHint(HWND control, std::string_view text);
    void ShowSearch(bool visible);

    int number_ = 0;
    PanelServices services_;
    // The language last shown; one table per language lives for the whole run.
    const lang::LanguageTable* texts_ = lang::LanguageTable::For(lang::kEnglish).get();
    // The item last looked for and its answer; the indicator shows that answer's presence text until a
    // check reports on the item.
    std::optional<engine::ItemReport> item_;
    bool indicatorShowsPresence_ = false;
    widgets::Panel panel_;
    widgets::CheckBox razr_;
    widgets::EditField typeField_, pathField_, paramField_, searchField_, actionField_;
    widgets::PictureButton typeUp_, typeDown_, path_, paramUp_, paramDown_, action_;
    widgets::PictureButton* buttons_[6] = {&typeUp_, &typeDown_, &path_, &paramUp_, &paramDown_, &action_};
    widgets::Indicator pathIndicator_, stringIndicator_, macroIndicator_;
    widgets::RoleMap<lang::PanelControl> roles_;
};

}  // namespace orv::ui
