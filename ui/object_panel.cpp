#include "ui/object_panel.h"

// After windows.h.
#include <shlobj.h>

#include "lang/apply.h"
#include "ui/shell_logic.h"

namespace orv::ui {
namespace {

using widgets::Colour;

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

Colour ToColour(engine::Rgb rgb) {
    return widgets::Rgb(rgb.r, rgb.g, rgb.b);
}
constexpr Colour kLit = widgets::Rgb(255, 0, 0);
constexpr Colour kDark = widgets::Rgb(54, 106, 179);

int ControlId(int number, int which) {
    return 2000 + number * 20 + which;
}
enum Field { kTypeField = 1, kPathField, kParamField, kSearchField, kActionField };

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
            result = BrowseChoice{widgets::Narrow(path), widgets::Narrow(displayName)};
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
    if (!services_.browse) {
        services_.browse = BrowseForItem;
    }
    if (!panel_.Create(parent, kPanelLeft, PanelTop(number), kPanelWidth, kPanelHeight)) {
        return false;
    }
    HWND row = panel_.Handle();
    razr_.Create(row, 2, 2, 32, 18, std::to_string(number), widgets::EnableBoxStyle());
    razr_.onClick = [this] { Cb_Razr_Click(); };

    auto field = [&](int which, int x, int width, bool readOnly, std::string_view text) {
        const DWORD style = WS_VISIBLE | ES_AUTOHSCROLL | (readOnly ? ES_READONLY : 0);
        HWND edit = widgets::CreateChildControl(row, L"EDIT", text, style, 0, x, 2, width, 20,
                                                ControlId(number, which));
        widgets::SetControlFont(edit, services_.fieldFont);
        services_.colours->Set(edit, kPanelFieldText, kPanelFieldBackground);
        return edit;
    };
    typeField_ = field(kTypeField, 40, 90, true, "");
    pathField_ = field(kPathField, 156, 145, true, "");
    paramField_ = field(kParamField, 338, 90, true, "");
    searchField_ = field(kSearchField, 453, 80, false, kSearchDesignText);
    ::SendMessageW(searchField_, EM_LIMITTEXT, kSearchLimit, 0);
    actionField_ = field(kActionField, 550, 125, true, "");

    for (int i = 0; i < 6; ++i) {
        const ButtonLayout& layout = kButtons[i];
        buttons_[i]->Create(row, layout.left, layout.top, layout.width, layout.height, services_.buttons,
                            layout.normal);
    }
    typeUp_.onClick = [this] { Sb_Type_UpClick(); };
    typeDown_.onClick = [this] { Sb_Type_DownClick(); };
    path_.onClick = [this] { Sb_PathClick(); };
    paramUp_.onClick = [this] { Sb_Param_UpClick(); };
    paramDown_.onClick = [this] { Sb_Param_DownClick(); };
    action_.onClick = [this] { Sb_ActionClick(); };

    pathIndicator_.Create(row, 302, 2, 10, 19, kDark);
    stringIndicator_.Create(row, 534, 2, 10, 19, kDark);
    macroIndicator_.Create(row, 680, 2, 20, 20, ToColour({192, 192, 192}));
    MapControls();
    return true;
}

void ObjectPanel::MapControls() {
    using lang::PanelControl;
    const auto map = [this](PanelControl control, HWND handle) {
        controls_[static_cast<size_t>(control)] = handle;
    };
    map(PanelControl::Panel_Obj, panel_.Handle());
    map(PanelControl::Cb_Razr_Obj, razr_.Handle());
    map(PanelControl::Edit_Type_Obj, typeField_);
    map(PanelControl::Edit_Path_Obj, pathField_);
    map(PanelControl::Ind_Path_Obj, pathIndicator_.Handle());
    map(PanelControl::Edit_Param_Obj, paramField_);
    map(PanelControl::Edit_String_Obj, searchField_);
    map(PanelControl::Ind_String_Obj, stringIndicator_.Handle());
    map(PanelControl::Edit_Action_Obj, actionField_);
    for (int i = 0; i < 6; ++i) {
        map(kButtons[i].control, buttons_[i]->Handle());
    }
}

void ObjectPanel::ApplyLanguage(const lang::LanguageTable& table) {
    for (const lang::AppliedText<lang::PanelControl>& applied : lang::ObjectPanelTexts(table, number_)) {
        SetHint(Handle(applied.control), applied.text);
    }
}

const lang::LanguageTable& ObjectPanel::Texts() const {
    // One table per language lives for the whole run, so the reference stays valid.
    return *services_.language->Table();
}

void ObjectPanel::StopControl() {
    if (services_.stopControl) {
        services_.stopControl();
    }
}

bool ObjectPanel::SetFieldText(HWND field, std::string_view text) {
    if (widgets::GetWindowTextUtf8(field) == text) {
        return false;
    }
    settingText_ = true;
    widgets::SetWindowTextUtf8(field, text);
    settingText_ = false;
    return true;
}

void ObjectPanel::SetPathField(std::string_view text) {
    if (SetFieldText(pathField_, text)) {
        Edit_PathChange();
    }
}

void ObjectPanel::CaretToEndAndHint() {
    const int length = ::GetWindowTextLengthW(pathField_);
    ::SendMessageW(pathField_, EM_SETSEL, length, length);
    SetHint(pathField_, PathField());
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
    Show(searchField_, visible);
    Show(stringIndicator_.Handle(), visible);
}

void ObjectPanel::RefreshObjectPanel() {
    const bool checked = razr_.Checked();
    for (HWND control : {typeField_, pathField_, paramField_, searchField_, actionField_}) {
        Show(control, checked);
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
    const std::optional<engine::Engine::Item> item = services_.engine->NormaliseType(number_);
    if (!item) {
        return;
    }
    SetFieldText(typeField_, Texts().Text(TypeText(item->type)));
    ApplyObjectParam();
    ShowItem(*item);
}

void ObjectPanel::ShowItem(const engine::Engine::Item& item) {
    const std::string& stateText =
        Texts().Text(item.present ? PresentText(item.type) : AbsentText(item.type));
    SetPathField(item.present ? std::string_view(item.path) : std::string_view(stateText));
    pathIndicator_.SetColour(item.present ? kLit : kDark);
    SetHint(pathIndicator_.Handle(), stateText);
    CaretToEndAndHint();
}

void ObjectPanel::ApplyObjectParam() {
    const std::optional<engine::Engine::Kind> kind = services_.engine->NormaliseParam(number_);
    if (!kind) {
        return;
    }
    SetFieldText(paramField_, Texts().Text(ParamText(kind->type, kind->param)));
    ShowSearch(VisibleControls(razr_.Checked(), kind->type, kind->param).search);
}

void ObjectPanel::ShowObjectAction() {
    SetFieldText(actionField_, services_.macros->Slot(number_).name);
}

void ObjectPanel::FillObjectPanel() {
    ApplyObjectType();
    const std::optional<engine::ControlObject> object = services_.engine->Object(number_);
    if (!object) {
        return;
    }
    // The stored path is shown even when the item is missing; the indicator says so.
    SetPathField(engine::KeptPath(object->settings, engine::FoldType(object->settings.Type)));
    CaretToEndAndHint();
    ShowObjectAction();
    if (SetFieldText(searchField_, object->settings.String)) {
        Edit_StringChange();
    }
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
    if (const std::optional<engine::Engine::Item> item = services_.engine->ChooseItem(number_, *choice)) {
        ShowItem(*item);
    }
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
    services_.engine->SearchTextChanged(number_, SearchField());
}

void ObjectPanel::Sb_ActionClick() {
    StopControl();
    ShowObjectAction();
    if (services_.openMacroEditor) {
        services_.openMacroEditor(number_);
    }
}

bool ObjectPanel::OnCommand(int id, int code) {
    if (id == ControlId(number_, kSearchField)) {
        if (code == EN_CHANGE && !settingText_) {
            Edit_StringChange();
        }
        return true;
    }
    if (id == ControlId(number_, kPathField)) {
        if (code == EN_CHANGE && !settingText_) {
            Edit_PathChange();
        }
        return true;
    }
    return id > ControlId(number_, 0) && id < ControlId(number_, 20);
}

void ObjectPanel::ShowCheckReport(const engine::IndicatorReport& report) {
    pathIndicator_.SetColour(ToColour(report.pathColour));
    SetHint(pathIndicator_.Handle(), report.pathHint);
    if (report.stringColour) {
        stringIndicator_.SetColour(ToColour(*report.stringColour));
    }
    if (report.stringHint) {
        SetHint(stringIndicator_.Handle(), *report.stringHint);
    }
}

void ObjectPanel::SetMacroIndicator(const macros::MacroIndicator& indicator) {
    macroIndicator_.SetColour(widgets::Rgb(indicator.colour.r, indicator.colour.g, indicator.colour.b));
    SetHint(macroIndicator_.Handle(), indicator.hint);
}

void ObjectPanel::UpdateHover(POINT cursor, POINT window, bool windowVisible) {
    for (int i = 0; i < 6; ++i) {
        const ButtonLayout& layout = kButtons[i];
        const Box box{window.x + kPanelLeft + layout.left, window.y + PanelTop(number_) + layout.top,
                      layout.width, layout.height};
        const bool hot = windowVisible && IsHot(Point{cursor.x, cursor.y}, box);
        buttons_[i]->SetPicture(HoverPicture(hot, layout.normal, layout.hot));
    }
}

std::string ObjectPanel::TypeField() const {
    return widgets::GetWindowTextUtf8(typeField_);
}
std::string ObjectPanel::PathField() const {
    return widgets::GetWindowTextUtf8(pathField_);
}
std::string ObjectPanel::ParamField() const {
    return widgets::GetWindowTextUtf8(paramField_);
}
std::string ObjectPanel::SearchField() const {
    return widgets::GetWindowTextUtf8(searchField_);
}
std::string ObjectPanel::ActionField() const {
    return widgets::GetWindowTextUtf8(actionField_);
}

bool ObjectPanel::FieldsVisible() const {
    return HasVisibleStyle(typeField_);
}

bool ObjectPanel::SearchVisible() const {
    return HasVisibleStyle(searchField_);
}

}  // namespace orv::ui
