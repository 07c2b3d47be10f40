#include "lang/apply.h"

#include <iterator>

namespace orv::lang {
namespace {

constexpr TextSlot kCaption = TextSlot::Caption;
constexpr TextSlot kHint = TextSlot::Hint;

constexpr ControlText Row(std::string_view control, TextSlot slot, TextId text,
                          TextSuffix suffix = TextSuffix::None) {
    return ControlText{control, slot, text, text, suffix};
}

constexpr ControlText kMainWindow[] = {
    Row("Edit_Lang", kCaption, TextId::LanguageName),
    Row("Lbl_Lang", kCaption, TextId::LangLabel, TextSuffix::Colon),
    Row("Lbl_Title_1", kCaption, TextId::ControlHeading),
    Row("Lbl1_Title_Control", kCaption, TextId::ControlHeading, TextSuffix::Colon),
    Row("Lbl_Title_2", kCaption, TextId::SettingsHeading),
    Row("Lbl1_Title_Obj", kCaption, TextId::ObjectWord, TextSuffix::Colon),
    Row("Lbl1_Title_Action", kCaption, TextId::ActionHeading, TextSuffix::Colon),
    Row("Sb_Reset", kHint, TextId::ResetHint),
    Row("Sb_Help", kHint, TextId::HelpHint),
    Row("Sb_Internet", kHint, TextId::WebHint),
    Row("Sb_Min", kHint, TextId::MinimizeHint),
    Row("Sb_Close", kHint, TextId::CloseHint),
    Row("TrayMenu_1", kCaption, TextId::TrayStartCaption),
    Row("TrayMenu_1", kHint, TextId::TrayStartHint),
    Row("TrayMenu_2", kCaption, TextId::TrayStopCaption),
    Row("TrayMenu_2", kHint, TextId::TrayStopHint),
    Row("TrayMenu_3", kCaption, TextId::WebHint),
    Row("TrayMenu_3", kHint, TextId::WebHint),
    Row("TrayMenu_4", kCaption, TextId::ProgramPage),
    Row("TrayMenu_4", kHint, TextId::ProgramPage),
    Row("TrayMenu_5", kCaption, TextId::CloseHint),
    Row("TrayMenu_5", kHint, TextId::CloseHint),
    Row("Lbl_HintShow", kCaption, TextId::HintShowCaption),
    Row("Lbl_HintShow", kHint, TextId::HintShowHint),
    Row("Cb_HintShow", kHint, TextId::HintShowHint),
    Row("Lbl_AutoRun", kCaption, TextId::AutoRunCaption),
    Row("Lbl_AutoRun", kHint, TextId::AutoRunHint),
    Row("Cb_AutoRun", kHint, TextId::AutoRunHint),
    Row("Lbl_MinFormShow", kCaption, TextId::MinFormShowCaption),
    Row("Lbl_MinFormShow", kHint, TextId::MinFormShowHint),
    Row("Cb_MinFormShow", kHint, TextId::MinFormShowHint),
    Row("Lbl_LogOK", kCaption, TextId::LogOKCaption),
    Row("Lbl_LogOK", kHint, TextId::LogOKHint),
    Row("Cb_LogOK", kHint, TextId::LogOKHint),
};

constexpr TextSuffix kNumbered = TextSuffix::ObjectNumber;

constexpr ControlText kObjectPanel[] = {
    Row("Panel_Obj#", kHint, TextId::PanelHint, kNumbered),
    Row("Cb_Razr_Obj#", kHint, TextId::RazrHint, kNumbered),
    Row("Edit_Type_Obj#", kHint, TextId::TypeFieldHint, kNumbered),
    Row("Sb_Type_Obj#_Up", kHint, TextId::TypeButtonsHint, kNumbered),
    Row("Sb_Type_Obj#_Down", kHint, TextId::TypeButtonsHint, kNumbered),
    Row("Edit_Path_Obj#", kHint, TextId::PathFieldHint, kNumbered),
    Row("Ind_Path_Obj#", kHint, TextId::PathIndicatorHint, kNumbered),
    Row("Sb_Path_Obj#", kHint, TextId::PathButtonHint, kNumbered),
    Row("Edit_Param_Obj#", kHint, TextId::ParamFieldHint),
    Row("Sb_Param_Obj#_Up", kHint, TextId::ParamButtonsHint),
    Row("Sb_Param_Obj#_Down", kHint, TextId::ParamButtonsHint),
    Row("Edit_String_Obj#", kHint, TextId::StringFieldHint),
    Row("Ind_String_Obj#", kHint, TextId::StringIndicatorHint),
    Row("Edit_Action_Obj#", kHint, TextId::ActionFieldHint, kNumbered),
    Row("Sb_Action_Obj#", kHint, TextId::ActionButtonHint, kNumbered),
};

constexpr ControlText kRunningState[] = {
    {"Sb_Start", kHint, TextId::StartHintStopped, TextId::StartHintRunning, TextSuffix::None},
    {"Indicator_Start", kHint, TextId::IndicatorHintStopped, TextId::IndicatorHintRunning, TextSuffix::None},
};

constexpr ControlText kMacroEditor[] = {
    Row("Lbl_Title_1", kCaption, TextId::MacrosTitle), Row("Lbl1", kCaption, TextId::MacroNameLabel),
    Row("Lbl2", kCaption, TextId::SelectedBatLabel),   Row("Lbl3", kCaption, TextId::AvailableBatLabel),
    Row("Lbl4", kCaption, TextId::CallMethodLabel),
};

bool IsObjectRow(const ControlText& row) {
    return row.control.find(kObjectDigit) != std::string_view::npos;
}

// The object number that makes `pattern` into `control`, or 0 when it does not.
int MatchObjectName(std::string_view pattern, std::string_view control) {
    const auto digit = pattern.find(kObjectDigit);
    if (digit == std::string_view::npos || control.size() != pattern.size()) {
        return 0;
    }
    const char number = control[digit];
    if (number < '1' || number > '0' + kObjectCount) {
        return 0;
    }
    if (control.substr(0, digit) != pattern.substr(0, digit) ||
        control.substr(digit + 1) != pattern.substr(digit + 1)) {
        return 0;
    }
    return number - '0';
}

void AppendRows(std::vector<AppliedText>& out, std::span<const ControlText> rows, const LanguageTable& table,
                bool controlRunning, int objectNumber) {
    for (const ControlText& row : rows) {
        const std::string name =
            objectNumber > 0 ? ControlName(row.control, objectNumber) : std::string(row.control);
        out.push_back({name, row.slot, TextOf(row, table, controlRunning, objectNumber)});
    }
}

}  // namespace

std::span<const ControlText> MainWindowControls() {
    return kMainWindow;
}
std::span<const ControlText> ObjectPanelControls() {
    return kObjectPanel;
}
std::span<const ControlText> RunningStateControls() {
    return kRunningState;
}
std::span<const ControlText> MacroEditorControls() {
    return kMacroEditor;
}

std::string ControlName(std::string_view pattern, int objectNumber) {
    std::string name(pattern);
    const auto digit = name.find(kObjectDigit);
    if (digit != std::string::npos) {
        name.replace(digit, 1, std::to_string(objectNumber));
    }
    return name;
}

std::string TextOf(const ControlText& row, const LanguageTable& table, bool controlRunning,
                   int objectNumber) {
    const TextId id = controlRunning ? row.textWhileRunning : row.text;
    switch (row.suffix) {
        case TextSuffix::Colon:
            return CaptionWithColon(table, id);
        case TextSuffix::ObjectNumber:
            return ObjectHint(table, id, objectNumber);
        case TextSuffix::None:
            break;
    }
    return table.Text(id);
}

std::string CaptionWithColon(const LanguageTable& table, TextId id) {
    return table.Text(id) + ":";
}

std::string ObjectHint(const LanguageTable& table, TextId id, int objectNumber) {
    return table.Text(id) + " " + std::to_string(objectNumber);
}

const std::string& StartButtonHint(const LanguageTable& table, bool controlRunning) {
    return table.Text(controlRunning ? TextId::StartHintRunning : TextId::StartHintStopped);
}

const std::string& StartIndicatorHint(const LanguageTable& table, bool controlRunning) {
    return table.Text(controlRunning ? TextId::IndicatorHintRunning : TextId::IndicatorHintStopped);
}

std::vector<AppliedText> MainWindowTexts(const LanguageTable& table, bool controlRunning) {
    std::vector<AppliedText> out;
    out.reserve(std::size(kMainWindow) + kObjectCount * std::size(kObjectPanel) + std::size(kRunningState));
    AppendRows(out, kMainWindow, table, controlRunning, 0);
    for (int object = 1; object <= kObjectCount; ++object) {
        AppendRows(out, kObjectPanel, table, controlRunning, object);
    }
    AppendRows(out, kRunningState, table, controlRunning, 0);
    return out;
}

std::vector<AppliedText> MacroEditorTexts(const LanguageTable& table) {
    std::vector<AppliedText> out;
    out.reserve(std::size(kMacroEditor));
    AppendRows(out, kMacroEditor, table, false, 0);
    return out;
}

std::optional<std::string> FindText(std::span<const ControlText> rows, std::string_view control,
                                    TextSlot slot, const LanguageTable& table, bool controlRunning) {
    for (const ControlText& row : rows) {
        if (row.slot != slot) {
            continue;
        }
        if (IsObjectRow(row)) {
            if (const int object = MatchObjectName(row.control, control); object > 0) {
                return TextOf(row, table, controlRunning, object);
            }
        } else if (row.control == control) {
            return TextOf(row, table, controlRunning);
        }
    }
    return std::nullopt;
}

std::optional<std::string> FindMainWindowText(std::string_view control, TextSlot slot,
                                              const LanguageTable& table, bool controlRunning) {
    for (const auto rows : {MainWindowControls(), ObjectPanelControls(), RunningStateControls()}) {
        if (auto text = FindText(rows, control, slot, table, controlRunning)) {
            return text;
        }
    }
    return std::nullopt;
}

}  // namespace orv::lang
