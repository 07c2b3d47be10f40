#include "ui/object_panel.h"
#include "platform/win32/wide.h"

// After windows.h.
#include <shlobj.h>

#include "lang/apply.h"
#include "ui/shell_logic.h"
#include "widgets/window_text.h"

namespace orv::ui {
namespace {

// The six hover buttons: place in the panel and pictures (normal, hot), in the timer's order.
struct ButtonLayout {
    lang::PanelControl control;
    int left, top, width, height;
    int normal, hot;
};
constexpr ButtonLayout kButtons[6] = {
    {lang::PanelControl::Sb_Type_Obj_Up, 132, 1, 19, 10, widgets::btn::kArrowUp, widgets::btn::kArrowUpHot},
    {lang::PanelControl::Sb_Type_Obj_Down, 132, 11, 19, 10, widgets::btn::kArrowDown,
     widgets::btn::kArrowDownHot},
    {lang::PanelControl::Sb_Path_Obj, 314, 1, 22, 22, widgets::btn::kPath, widgets::btn::kPathHot},
    {lang::PanelControl::Sb_Param_Obj_Up, 430, 1, 19, 10, widgets::btn::kArrowUp, widgets::btn::kArrowUpHot},
    {lang::PanelControl::Sb_Param_Obj_Down, 430, 11, 19, 10, widgets::btn::kArrowDown,
     widgets::btn::kArrowDownHot},
    {lang::PanelControl::Sb_Action_Obj, 700, 1, 22, 22, widgets::btn::kAction, widgets::btn::kActionHot},
};

constexpr int kSearchLimit = 20;
constexpr std::string_view kSearchDesignText = "'Error'";

constexpr Colour kLit = kActiveColour;
constexpr Colour kDark = kIdleColour;

// The control's own visibility, whatever its parents show.
bool HasVisibleStyle(HWND window) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Show(HWND window, bool visible) {
    if (window != nullptr && HasVisibleStyle(window) != visible) {
        ::ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
    }
}

}  // namespace

std::optional<BrowseChoice> BrowseForItem(HWND owner, ObjectType type) {
    PIDLIST_ABSOLUTE root = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &root))) {
        root = nullptr;
    }
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = root;
    info.pszDisplayName = displayName;
    info.ulFlags = BIF_RETURNONLYFSDIRS | (type == ObjectType::Directory ? 0 : BIF_BROWSEINCLUDEFILES);
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    std::optional<BrowseChoice> result;
    if (chosen != nullptr) {
        wchar_t path[MAX_PATH] = {};
        if (::SHGetPathFromIDListW(chosen, path)) {
            result = BrowseChoice{win32::Narrow(path), win32::Narrow(displayName)};
        }
        ::CoTaskMemFree(chosen);
    }
    if (root != nullptr) {
        ::CoTaskMemFree(root);
    }
    return result;
}

bool ObjectPanel::Create(HWND parent, int number, const PanelServices& services) {
    number_ = number;
    services_ = services;
    if (!panel_.Create({parent, kPanelLeft, PanelTop(number), kPanelWidth, kPanelHeight})) {
        return false;
    }
    HWND row = panel_.Handle();
    razr_.Create({.place = {row, 2, 2, 32, 18},
                  .caption = std::to_string(number),
                  .style = widgets::EnableBoxStyle()});
    razr_.onClick = [this] { Cb_Razr_Click(); };

    auto field = [&](widgets::EditField& edit, int x, int width, bool readOnly, std::string_view text,
                     int limit = 0) {
        edit.Create({.place = {row, x, 2, width, 20},
                     .text = text,
                     .readOnly = readOnly,
                     .limit = limit,
                     .font = services_.fieldFont,
                     .colours = widgets::TextColours{kPanelFieldText, kPanelFieldBackground}});
    };
    field(typeField_, 40, 90, true, "");
    field(pathField_, 156, 145, true, "");
    pathField_.onTextChanged = [this] { Edit_PathChange(); };
    field(paramField_, 338, 90, true, "");
    field(searchField_, 453, 80, false, kSearchDesignText, kSearchLimit);
    searchField_.onTextChanged = [this] { Edit_StringChange(); };
    field(actionField_, 550, 125, true, "");

    for (int i = 0; i < 6; ++i) {
        const ButtonLayout& layout = kButtons[i];
        buttons_[i]->Create({.place = {row, layout.left, layout.top, layout.width, layout.height},
                             .pictures = services_.buttons,
                             .picture = layout.normal});
    }
    typeUp_.onClick = [this] { Sb_Type_UpClick(); };
    typeDown_.onClick = [this] { Sb_Type_DownClick(); };
    path_.onClick = [this] { Sb_PathClick(); };
    paramUp_.onClick = [this] { Sb_Param_UpClick(); };
    paramDown_.onClick = [this] { Sb_Param_DownClick(); };
    action_.onClick = [this] { Sb_ActionClick(); };

    pathIndicator_.Create({.place = {row, 302, 2, 10, 19}, .colour = kDark});
    stringIndicator_.Create({.place = {row, 534, 2, 10, 19}, .colour = kDark});
    macroIndicator_.Create({.place = {row, 680, 2, 20, 20}, .colour = kSilverColour});
    MapControls();
    return true;
}

void ObjectPanel::MapControls() {
    using lang::PanelControl;
    roles_.Map(PanelControl::Panel_Obj, panel_);
    roles_.Map(PanelControl::Cb_Razr_Obj, razr_);
    roles_.Map(PanelControl::Edit_Type_Obj, typeField_);
    roles_.Map(PanelControl::Edit_Path_Obj, pathField_);
    roles_.Map(PanelControl::Ind_Path_Obj, pathIndicator_);
    roles_.Map(PanelControl::Edit_Param_Obj, paramField_);
    roles_.Map(PanelControl::Edit_String_Obj, searchField_);
    roles_.Map(PanelControl::Ind_String_Obj, stringIndicator_);
    roles_.Map(PanelControl::Edit_Action_Obj, actionField_);
    for (int i = 0; i < 6; ++i) {
        roles_.Map(kButtons[i].control, *buttons_[i]);
    }
}

void ObjectPanel::AddToTabOrder(widgets::TabOrder& order) const {
    for (HWND control :
         {razr_.Handle(), typeField_.Handle(), typeUp_.Handle(), typeDown_.Handle(), pathField_.Handle(),
          path_.Handle(), paramField_.Handle(), paramUp_.Handle(), paramDown_.Handle(), searchField_.Handle(),
          actionField_.Handle(), action_.Handle()}) {
        order.Add(control);
    }
}

bool ObjectPanel::StepByKey(HWND field, bool up) {
    if (field == nullptr) {
        return false;
    }
    if (field == typeField_.Handle()) {
        up ? Sb_Type_UpClick() : Sb_Type_DownClick();
        return true;
    }
    if (field == paramField_.Handle()) {
        up ? Sb_Param_UpClick() : Sb_Param_DownClick();
        return true;
    }
    return false;
}

void ObjectPanel::ShowHints(const lang::LanguageTable& table) {
    texts_ = &table;
    if (services_.hints != nullptr) {
        roles_.Show(lang::ObjectPanelTexts(table, number_), *services_.hints);
    }
}

void ObjectPanel::StopControl() {
    if (services_.stopControl) {
        services_.stopControl();
    }
}

bool ObjectPanel::SetFieldText(widgets::EditField& field, std::string_view text) {
    return field.SetText(text);
}

void ObjectPanel::SetPathField(std::string_view text) {
    if (SetFieldText(pathField_, text)) {
        Edit_PathChange();
    }
}

void ObjectPanel::CaretToEndAndHint() {
    pathField_.CaretToEnd();
    SetHint(pathField_.Handle(), PathField());
}

void ObjectPanel::SetHint(HWND control, std::string_view text) {
    if (services_.hints != nullptr) {
        services_.hints->Set(control, text);
    }
}

std::string ObjectPanel::HintOf(HWND control) const {
    if (services_.hints == nullptr) {
        return {};
    }
    const std::string* text = services_.hints->Find(control);
    return text ? *text : std::string();
}

void ObjectPanel::ShowSearch(bool visible) {
    searchField_.SetVisible(visible);
    Show(stringIndicator_.Handle(), visible);
}

void ObjectPanel::RefreshObjectPanel() {
    const bool checked = razr_.Checked();
    for (widgets::EditField* field : {&typeField_, &pathField_, &paramField_, &searchField_, &actionField_}) {
        field->SetVisible(checked);
    }
    for (widgets::PictureButton* button : buttons_) {
        Show(button->Handle(), checked);
    }
    Show(pathIndicator_.Handle(), checked);
    Show(stringIndicator_.Handle(), checked);
    Show(macroIndicator_.Handle(), checked);
    if (checked) {
        ApplyObjectParam();
    }
    ShowObjectAction();
}

void ObjectPanel::ApplyObjectType() {
    ApplyObjectType(engine::ItemPurpose::Type);
}

void ObjectPanel::ApplyObjectType(engine::ItemPurpose purpose) {
    // The item is looked for by the engine, off this thread; its answer comes back as an ItemReport.
    const std::optional<engine::Engine::Item> item = services_.engine->NormaliseType(number_, purpose);
    if (!item) {
        return;
    }
    SetFieldText(typeField_, texts_->Text(TypeText(item->type)));
    ApplyObjectParam();
    SetPathField(item->path);
    CaretToEndAndHint();
}

void ObjectPanel::ShowItemReport(const engine::ItemReport& report) {
    item_ = report;
    ShowPresence(report.purpose != engine::ItemPurpose::Fill);
}

void ObjectPanel::ShowPresence(bool pathField) {
    const engine::ItemReport& item = *item_;
    switch (item.presence) {
        case engine::Presence::Present:
        case engine::Presence::Absent: {
            const bool present = item.presence == engine::Presence::Present;
            const std::string& stateText =
                texts_->Text(present ? PresentText(item.type) : AbsentText(item.type));
            if (pathField) {
                SetPathField(present ? std::string_view(item.path) : std::string_view(stateText));
            }
            pathIndicator_.SetColour(present ? kLit : kDark);
            SetHint(pathIndicator_.Handle(), stateText);
            indicatorShowsPresence_ = true;
            break;
        }
        case engine::Presence::Unreachable:
            // Nothing is known of the item: its path stays, and the lamp says what the scan says.
            if (pathField) {
                SetPathField(item.path);
            }
            ShowCheckReport(item.unreachable);
            break;
        case engine::Presence::Failed:
            if (pathField) {
                SetPathField(item.path);
            }
            break;
    }
    if (pathField) {
        CaretToEndAndHint();
    }
}

void ObjectPanel::ShowLanguage(const lang::LanguageTable& table) {
    ShowHints(table);
    const std::optional<engine::ControlObject> object = services_.engine->Object(number_);
    if (!object) {
        return;
    }
    const ObjectType type = engine::FoldType(object->settings.Type);
    SetFieldText(typeField_, texts_->Text(TypeText(type)));
    ApplyObjectParam();
    ShowObjectAction();
    const std::string& path = engine::KeptPath(object->settings, type);
    if (!item_ || item_->type != type || item_->path != path) {
        return;  // the item's answer is still to come, in the new language
    }
    // An item that is not there shows the absent text, in the new language; what a check reported on
    // the lamp stays until the next check, only the presence text follows the language.
    if (item_->presence == engine::Presence::Absent) {
        SetPathField(texts_->Text(AbsentText(type)));
        CaretToEndAndHint();
    }
    if (indicatorShowsPresence_) {
        const bool present = item_->presence == engine::Presence::Present;
        SetHint(pathIndicator_.Handle(), texts_->Text(present ? PresentText(type) : AbsentText(type)));
    }
}

void ObjectPanel::ApplyObjectParam() {
    const std::optional<engine::Engine::Kind> kind = services_.engine->NormaliseParam(number_);
    if (!kind) {
        return;
    }
    SetFieldText(paramField_, texts_->Text(ParamText(kind->type, kind->param)));
    ShowSearch(VisibleControls(razr_.Checked(), kind->type, kind->param).search);
}

void ObjectPanel::ShowObjectAction() {
    SetFieldText(actionField_, services_.macros->Slot(number_).name);
}

void ObjectPanel::FillObjectPanel() {
    ApplyObjectType(engine::ItemPurpose::Fill);
    const std::optional<engine::ControlObject> object = services_.engine->Object(number_);
    if (!object) {
        return;
    }
    // The stored path is shown even when the item is missing; the indicator says so.
    SetPathField(engine::KeptPath(object->settings, engine::FoldType(object->settings.Type)));
    CaretToEndAndHint();
    ShowObjectAction();
    // The text typed last, whose change may still wait for its check: writing back the stored one would
    // lose the newest keystrokes.
    if (SetFieldText(searchField_, services_.engine->SearchText(number_))) {
        Edit_StringChange();
    }
    RefreshObjectPanel();
}

void ObjectPanel::ShowReset() {
    SetRazrMark(true);
    ApplyObjectType();
    ApplyObjectParam();
    ShowObjectAction();
    RefreshObjectPanel();
}

void ObjectPanel::Cb_Razr_Click() {
    services_.engine->SetRazr(number_, razr_.Checked());
    RefreshObjectPanel();
    StopControl();
}

void ObjectPanel::Sb_Type_UpClick() {
    StepType(engine::Step::Next);
}

void ObjectPanel::Sb_Type_DownClick() {
    StepType(engine::Step::Previous);
}

void ObjectPanel::StepType(engine::Step step) {
    services_.engine->StepType(number_, step);
    ApplyObjectType();
    StopControl();
}

void ObjectPanel::Sb_PathClick() {
    const std::optional<engine::ControlObject> object = services_.engine->Object(number_);
    if (!object) {
        return;
    }
    const std::optional<BrowseChoice> choice =
        services_.browse(::GetAncestor(panel_.Handle(), GA_ROOT), engine::FoldType(object->settings.Type));
    if (!choice) {
        // Cancelled: the object keeps its item and its baselines; nothing was chosen to test.
        return;
    }
    // The answer comes back as an ItemReport once the chosen item has been looked for.
    services_.engine->ChooseItem(number_, *choice);
}

void ObjectPanel::Edit_PathChange() {
    StopControl();
}

void ObjectPanel::Sb_Param_UpClick() {
    StepParam(engine::Step::Next);
}

void ObjectPanel::Sb_Param_DownClick() {
    StepParam(engine::Step::Previous);
}

void ObjectPanel::StepParam(engine::Step step) {
    services_.engine->StepParam(number_, step);
    ApplyObjectParam();
    StopControl();
}

void ObjectPanel::Edit_StringChange() {
    services_.state->SearchTextChanged(number_, SearchField());
}

void ObjectPanel::Sb_ActionClick() {
    StopControl();
    ShowObjectAction();
    if (services_.openMacroEditor) {
        services_.openMacroEditor(number_);
    }
}

void ObjectPanel::ShowCheckReport(const engine::IndicatorReport& report) {
    indicatorShowsPresence_ = false;
    pathIndicator_.SetColour(report.pathColour);
    SetHint(pathIndicator_.Handle(), report.pathHint);
    if (report.stringColour) {
        stringIndicator_.SetColour(*report.stringColour);
    }
    if (report.stringHint) {
        SetHint(stringIndicator_.Handle(), *report.stringHint);
    }
}

void ObjectPanel::ShowMacro() {
    ShowObjectAction();
    const macros::MacroIndicator indicator = services_.macros->Indicator(number_, texts_->Language());
    macroIndicator_.SetColour(indicator.colour);
    SetHint(macroIndicator_.Handle(), indicator.hint);
}

void ObjectPanel::UpdateHover(const widgets::Hover& hover) {
    const widgets::Hover row = hover.Within(kPanelLeft, PanelTop(number_));
    for (int i = 0; i < 6; ++i) {
        const ButtonLayout& layout = kButtons[i];
        buttons_[i]->SetPicture(
            row.Picture(layout.left, layout.top, layout.width, layout.height, layout.normal, layout.hot));
    }
}

std::string ObjectPanel::TypeField() const {
    return typeField_.Text();
}
std::string ObjectPanel::PathField() const {
    return pathField_.Text();
}
std::string ObjectPanel::ParamField() const {
    return paramField_.Text();
}
std::string ObjectPanel::SearchField() const {
    return searchField_.Text();
}
std::string ObjectPanel::ActionField() const {
    return actionField_.Text();
}

bool ObjectPanel::FieldsVisible() const {
    return typeField_.IsVisible();
}

bool ObjectPanel::SearchVisible() const {
    return searchField_.IsVisible();
}

}  // namespace orv::ui
