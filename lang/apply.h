// What writing a language into the windows means, without the windows: which control shows which
// text, with which addition. Rows name a control by its role; each window maps the roles it has to its
// controls once, when it builds them, and sets each control's caption or hint. The object panels take
// table C texts from the table last shown to them when they show a state.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "lang/constants.h"
#include "lang/language.h"

namespace orv::lang {

// Where a text goes. For a text field the caption is the field's text.
enum class TextSlot { Caption, Hint };

// What follows the entry's text.
enum class TextSuffix {
    None,
    Colon,         // ":" (the column headings and the language label)
    ObjectNumber,  // a blank and the object's number 1 to 8 (most object panel hints)
};

// The main window's controls that show a language text, tray menu items included.
enum class MainControl : int32_t {
    Edit_Lang,
    Lbl_Lang,
    Lbl_Title_1,
    Lbl1_Title_Control,
    Lbl_Title_2,
    Lbl1_Title_Obj,
    Lbl1_Title_Action,
    Sb_Start,
    Indicator_Start,
    Sb_Reset,
    Sb_Help,
    Sb_Internet,
    Sb_Min,
    Sb_Close,
    TrayMenu_1,
    TrayMenu_2,
    TrayMenu_3,
    TrayMenu_4,
    TrayMenu_5,
    TrayMenu_6,  // "Pause for 15 minutes"
    TrayMenu_7,  // "Pause for 1 hour"
    Lbl_HintShow,
    Cb_HintShow,
    Lbl_AutoRun,
    Cb_AutoRun,
    Lbl_MinFormShow,
    Cb_MinFormShow,
    Lbl_LogOK,
    Cb_LogOK,
    Lbl_LogKeep,   // "Keep log files:"
    Edit_LogKeep,  // its value is the window's; the role gives the hint
    Lbl_WaitFinished,
    Cb_WaitFinished,
    Count
};

// The controls of one object panel that show a language text; the panel gives the object's number.
enum class PanelControl : int32_t {
    Panel_Obj,
    Cb_Razr_Obj,
    Edit_Type_Obj,
    Sb_Type_Obj_Up,
    Sb_Type_Obj_Down,
    Edit_Path_Obj,
    Ind_Path_Obj,
    Sb_Path_Obj,
    Edit_Param_Obj,
    Sb_Param_Obj_Up,
    Sb_Param_Obj_Down,
    Edit_String_Obj,
    Ind_String_Obj,
    Edit_Action_Obj,
    Sb_Action_Obj,
    Count
};

// The macro editor's labels that show a language text.
enum class EditorLabel : int32_t { Lbl_Title_1, Lbl1, Lbl2, Lbl3, Lbl4, Count };

template <class Control>
inline constexpr int kControlCount = static_cast<int>(Control::Count);

// One control's caption or hint and the role whose text it shows.
template <class Control>
struct ControlText {
    Control control;
    TextSlot slot;
    TextId text;
    // The role shown while control runs; the same as `text` except for the start button and the
    // start indicator.
    TextId textWhileRunning;
    TextSuffix suffix;
};

// The main window's captions and hints that do not depend on the running state, tray menu included.
std::span<const ControlText<MainControl>> MainWindowControls();
// The start button's and the start indicator's hints, which follow the running state.
std::span<const ControlText<MainControl>> RunningStateControls();
// The hints of one object panel.
std::span<const ControlText<PanelControl>> ObjectPanelControls();
// The macro editor's labels.
std::span<const ControlText<EditorLabel>> MacroEditorControls();

// The finished text of an entry: the table's text with its suffix. `objectNumber` is used by
// TextSuffix::ObjectNumber only.
std::string TextOf(TextId id, TextSuffix suffix, const LanguageTable& table, int objectNumber = 0);
// The same for a row, in the running state given.
template <class Control>
std::string TextOf(const ControlText<Control>& row, const LanguageTable& table, bool controlRunning,
                   int objectNumber = 0) {
    return TextOf(controlRunning ? row.textWhileRunning : row.text, row.suffix, table, objectNumber);
}

// The pieces, for windows that set a single control.
std::string CaptionWithColon(const LanguageTable& table, TextId id);
std::string ObjectHint(const LanguageTable& table, TextId id, int objectNumber);
const std::string& StartButtonHint(const LanguageTable& table, bool controlRunning);
const std::string& StartIndicatorHint(const LanguageTable& table, bool controlRunning);

// A caption or hint of a control, ready to be set.
template <class Control>
struct AppliedText {
    Control control;
    TextSlot slot;
    std::string text;
};

// The main window's own texts in the order to apply them: the fixed controls, then the running-state
// hints.
std::vector<AppliedText<MainControl>> MainWindowTexts(const LanguageTable& table, bool controlRunning);
// The hints of object panel `objectNumber`. The path indicator's hint is the designed one; the panel
// replaces it when it shows its state.
std::vector<AppliedText<PanelControl>> ObjectPanelTexts(const LanguageTable& table, int objectNumber);
// The macro editor's five labels.
std::vector<AppliedText<EditorLabel>> MacroEditorTexts(const LanguageTable& table);

// The text a control shows in `slot`; nothing when no row names it for that slot.
std::optional<std::string> MainWindowText(MainControl control, TextSlot slot, const LanguageTable& table,
                                          bool controlRunning);
std::optional<std::string> ObjectPanelText(PanelControl control, TextSlot slot, const LanguageTable& table,
                                           int objectNumber);
std::optional<std::string> MacroEditorText(EditorLabel control, const LanguageTable& table);

}  // namespace orv::lang
