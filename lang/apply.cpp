#include "lang/apply.h"

#include <iterator>

namespace orv::lang {
namespace {

constexpr TextSlot kCaption = TextSlot::Caption;
constexpr TextSlot kHint = TextSlot::Hint;

template <class Control>
constexpr ControlText<Control> Row(Control control, TextSlot slot, TextId text,
                                   TextSuffix suffix = TextSuffix::None) {
    return ControlText<Control>{control, slot, text, text, suffix};
}

using M = MainControl;
constexpr ControlText<MainControl> kMainWindow[] = {
    Row(M::Edit_Lang, kCaption, TextId::LanguageName),
    Row(M::Lbl_Lang, kCaption, TextId::LangLabel, TextSuffix::Colon),
    Row(M::Lbl_Title_1, kCaption, TextId::ControlHeading),
    Row(M::Lbl1_Title_Control, kCaption, TextId::ControlHeading, TextSuffix::Colon),
    Row(M::Lbl_Title_2, kCaption, TextId::SettingsHeading),
    Row(M::Lbl1_Title_Obj, kCaption, TextId::ObjectWord, TextSuffix::Colon),
    Row(M::Lbl1_Title_Action, kCaption, TextId::ActionHeading, TextSuffix::Colon),
    Row(M::Sb_Reset, kHint, TextId::ResetHint),
    Row(M::Sb_Help, kHint, TextId::HelpHint),
    Row(M::Sb_Internet, kHint, TextId::WebHint),
    Row(M::Sb_Min, kHint, TextId::MinimizeHint),
    Row(M::Sb_Close, kHint, TextId::CloseHint),
    Row(M::TrayMenu_1, kCaption, TextId::TrayStartCaption),
    Row(M::TrayMenu_1, kHint, TextId::TrayStartHint),
    Row(M::TrayMenu_2, kCaption, TextId::TrayStopCaption),
    Row(M::TrayMenu_2, kHint, TextId::TrayStopHint),
    Row(M::TrayMenu_3, kCaption, TextId::WebHint),
    Row(M::TrayMenu_3, kHint, TextId::WebHint),
    Row(M::TrayMenu_4, kCaption, TextId::ProgramPage),
    Row(M::TrayMenu_4, kHint, TextId::ProgramPage),
    Row(M::TrayMenu_5, kCaption, TextId::CloseHint),
    Row(M::TrayMenu_5, kHint, TextId::CloseHint),
    Row(M::TrayMenu_6, kCaption, TextId::TrayPause15Caption),
    Row(M::TrayMenu_6, kHint, TextId::TrayPause15Caption),
    Row(M::TrayMenu_7, kCaption, TextId::TrayPause60Caption),
    Row(M::TrayMenu_7, kHint, TextId::TrayPause60Caption),
    Row(M::Lbl_HintShow, kCaption, TextId::HintShowCaption),
    Row(M::Lbl_HintShow, kHint, TextId::HintShowHint),
    Row(M::Cb_HintShow, kHint, TextId::HintShowHint),
    Row(M::Lbl_AutoRun, kCaption, TextId::AutoRunCaption),
    Row(M::Lbl_AutoRun, kHint, TextId::AutoRunHint),
    Row(M::Cb_AutoRun, kHint, TextId::AutoRunHint),
    Row(M::Lbl_MinFormShow, kCaption, TextId::MinFormShowCaption),
    Row(M::Lbl_MinFormShow, kHint, TextId::MinFormShowHint),
    Row(M::Cb_MinFormShow, kHint, TextId::MinFormShowHint),
    Row(M::Lbl_LogOK, kCaption, TextId::LogOKCaption),
    Row(M::Lbl_LogOK, kHint, TextId::LogOKHint),
    Row(M::Cb_LogOK, kHint, TextId::LogOKHint),
    Row(M::Lbl_LogKeep, kCaption, TextId::LogKeepCaption, TextSuffix::Colon),
    Row(M::Lbl_LogKeep, kHint, TextId::LogKeepHint),
    Row(M::Edit_LogKeep, kHint, TextId::LogKeepHint),
    Row(M::Lbl_WaitFinished, kCaption, TextId::WaitFinishedCaption),
    Row(M::Lbl_WaitFinished, kHint, TextId::WaitFinishedHint),
    Row(M::Cb_WaitFinished, kHint, TextId::WaitFinishedHint),
};

constexpr ControlText<MainControl> kRunningState[] = {
    {M::Sb_Start, kHint, TextId::StartHintStopped, TextId::StartHintRunning, TextSuffix::None},
    {M::Indicator_Start, kHint, TextId::IndicatorHintStopped, TextId::IndicatorHintRunning, TextSuffix::None},
};

using P = PanelControl;
constexpr TextSuffix kNumbered = TextSuffix::ObjectNumber;
constexpr ControlText<PanelControl> kObjectPanel[] = {
    Row(P::Panel_Obj, kHint, TextId::PanelHint, kNumbered),
    Row(P::Cb_Razr_Obj, kHint, TextId::RazrHint, kNumbered),
    Row(P::Edit_Type_Obj, kHint, TextId::TypeFieldHint, kNumbered),
    Row(P::Sb_Type_Obj_Up, kHint, TextId::TypeButtonsHint, kNumbered),
    Row(P::Sb_Type_Obj_Down, kHint, TextId::TypeButtonsHint, kNumbered),
    Row(P::Edit_Path_Obj, kHint, TextId::PathFieldHint, kNumbered),
    Row(P::Ind_Path_Obj, kHint, TextId::PathIndicatorHint, kNumbered),
    Row(P::Sb_Path_Obj, kHint, TextId::PathButtonHint, kNumbered),
    Row(P::Edit_Param_Obj, kHint, TextId::ParamFieldHint),
    Row(P::Sb_Param_Obj_Up, kHint, TextId::ParamButtonsHint),
    Row(P::Sb_Param_Obj_Down, kHint, TextId::ParamButtonsHint),
    Row(P::Edit_String_Obj, kHint, TextId::StringFieldHint),
    Row(P::Ind_String_Obj, kHint, TextId::StringIndicatorHint),
    Row(P::Edit_Action_Obj, kHint, TextId::ActionFieldHint, kNumbered),
    Row(P::Sb_Action_Obj, kHint, TextId::ActionButtonHint, kNumbered),
};

using E = EditorLabel;
constexpr ControlText<EditorLabel> kMacroEditor[] = {
    Row(E::Lbl_Title_1, kCaption, TextId::MacrosTitle), Row(E::Lbl1, kCaption, TextId::MacroNameLabel),
    Row(E::Lbl2, kCaption, TextId::SelectedBatLabel),   Row(E::Lbl3, kCaption, TextId::AvailableBatLabel),
    Row(E::Lbl4, kCaption, TextId::CallMethodLabel),
};

template <class Control>
void AppendRows(std::vector<AppliedText<Control>>& out, std::span<const ControlText<Control>> rows,
                const LanguageTable& table, bool controlRunning, int objectNumber) {
    for (const ControlText<Control>& row : rows) {
        out.push_back({row.control, row.slot, TextOf(row, table, controlRunning, objectNumber)});
    }
}

template <class Control>
std::optional<std::string> FindText(std::span<const ControlText<Control>> rows, Control control,
                                    TextSlot slot, const LanguageTable& table, bool controlRunning,
                                    int objectNumber) {
    for (const ControlText<Control>& row : rows) {
        if (row.control == control && row.slot == slot) {
            return TextOf(row, table, controlRunning, objectNumber);
        }
    }
    return std::nullopt;
}

}  // namespace

std::span<const ControlText<MainControl>> MainWindowControls() {
    return kMainWindow;
}
std::span<const ControlText<MainControl>> RunningStateControls() {
    return kRunningState;
}
std::span<const ControlText<PanelControl>> ObjectPanelControls() {
    return kObjectPanel;
}
std::span<const ControlText<EditorLabel>> MacroEditorControls() {
    return kMacroEditor;
}

std::string TextOf(TextId id, TextSuffix suffix, const LanguageTable& table, int objectNumber) {
    switch (suffix) {
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

std::vector<AppliedText<MainControl>> MainWindowTexts(const LanguageTable& table, bool controlRunning) {
    std::vector<AppliedText<MainControl>> out;
    out.reserve(std::size(kMainWindow) + std::size(kRunningState));
    AppendRows<MainControl>(out, kMainWindow, table, controlRunning, 0);
    AppendRows<MainControl>(out, kRunningState, table, controlRunning, 0);
    return out;
}

std::vector<AppliedText<PanelControl>> ObjectPanelTexts(const LanguageTable& table, int objectNumber) {
    std::vector<AppliedText<PanelControl>> out;
    out.reserve(std::size(kObjectPanel));
    AppendRows<PanelControl>(out, kObjectPanel, table, false, objectNumber);
    return out;
}

std::vector<AppliedText<EditorLabel>> MacroEditorTexts(const LanguageTable& table) {
    std::vector<AppliedText<EditorLabel>> out;
    out.reserve(std::size(kMacroEditor));
    AppendRows<EditorLabel>(out, kMacroEditor, table, false, 0);
    return out;
}

std::optional<std::string> MainWindowText(MainControl control, TextSlot slot, const LanguageTable& table,
                                          bool controlRunning) {
    for (const auto rows : {MainWindowControls(), RunningStateControls()}) {
        if (auto text = FindText(rows, control, slot, table, controlRunning, 0)) {
            return text;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ObjectPanelText(PanelControl control, TextSlot slot, const LanguageTable& table,
                                           int objectNumber) {
    return FindText(ObjectPanelControls(), control, slot, table, false, objectNumber);
}

std::optional<std::string> MacroEditorText(EditorLabel control, const LanguageTable& table) {
    return FindText(MacroEditorControls(), control, TextSlot::Caption, table, false, 0);
}

}  // namespace orv::lang
