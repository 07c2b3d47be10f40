// What writing a language into the windows means, without the windows: which control shows which
// text, with which addition. The main window and the macro editor iterate these lists and set each
// control's caption or hint; the object panels read table C texts themselves when they show a state.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
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

// In the name of an object panel's control this character stands for the object's digit
// ("Cb_Razr_Obj#" is "Cb_Razr_Obj1" ... "Cb_Razr_Obj8").
inline constexpr char kObjectDigit = '#';

// One control's caption or hint and the role whose text it shows.
struct ControlText {
    std::string_view control;
    TextSlot slot;
    TextId text;
    // The role shown while control runs; the same as `text` except for the start button and the
    // start indicator.
    TextId textWhileRunning;
    TextSuffix suffix;
};

// The main window's captions and hints that do not depend on the running state, tray menu included.
std::span<const ControlText> MainWindowControls();
// The hints of one object panel; the names carry kObjectDigit.
std::span<const ControlText> ObjectPanelControls();
// The start button's and the start indicator's hints, which follow the running state.
std::span<const ControlText> RunningStateControls();
// The macro editor's labels.
std::span<const ControlText> MacroEditorControls();

// A control name with kObjectDigit replaced by the object's number.
std::string ControlName(std::string_view pattern, int objectNumber);

// The finished text of one row: the entry of the table's language, for the running state, with its
// suffix. `objectNumber` is used by TextSuffix::ObjectNumber only.
std::string TextOf(const ControlText& row, const LanguageTable& table, bool controlRunning,
                   int objectNumber = 0);

// The pieces, for windows that set a single control.
std::string CaptionWithColon(const LanguageTable& table, TextId id);
std::string ObjectHint(const LanguageTable& table, TextId id, int objectNumber);
const std::string& StartButtonHint(const LanguageTable& table, bool controlRunning);
const std::string& StartIndicatorHint(const LanguageTable& table, bool controlRunning);

// A caption or hint with its concrete control name, ready to be set.
struct AppliedText {
    std::string control;
    TextSlot slot;
    std::string text;
};

// Everything the main window shows from the language table, in the order to apply it: the fixed
// controls, the eight object panels (object 1 first), and last the running-state hints. The path
// indicators' hints are the designed ones; the panels replace them when they show their state.
std::vector<AppliedText> MainWindowTexts(const LanguageTable& table, bool controlRunning);
// The macro editor's five labels.
std::vector<AppliedText> MacroEditorTexts(const LanguageTable& table);

// The text of one concrete control ("Lbl_Lang", "Sb_Type_Obj3_Up", ...) in `rows`; nothing when no
// row names it for that slot.
std::optional<std::string> FindText(std::span<const ControlText> rows, std::string_view control,
                                    TextSlot slot, const LanguageTable& table, bool controlRunning);
// The same over all main window rows (fixed controls, object panels, running state).
std::optional<std::string> FindMainWindowText(std::string_view control, TextSlot slot,
                                              const LanguageTable& table, bool controlRunning);

}  // namespace orv::lang
