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
    const char* name;
    int left, top, width, height;
    int normal, hot;
};
constexpr ButtonLayout kButtons[6] = {
    {"Sb_Type_Obj#_Up", 132, 1, 19, 10, widgets::btn::kArrowUp, widgets::btn::kArrowUpHot},
    {"Sb_Type_Obj#_Down", 132, 11, 19, 10, widgets::btn::kArrowDown, widgets::btn::kArrowDownHot},
    {"Sb_Path_Obj#", 314, 1, 22, 22, widgets::btn::kPath, widgets::btn::kPathHot},
    {"Sb_Param_Obj#_Up", 430, 1, 19, 10, widgets::btn::kArrowUp, widgets::btn::kArrowUpHot},
    {"Sb_Param_Obj#_Down", 430, 11, 19, 10, widgets::btn::kArrowDown, widgets::btn::kArrowDownHot},
    {"Sb_Action_Obj#", 700, 1, 22, 22, widgets::btn::kAction, widgets::btn::kActionHot},
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

std::optional<BrowseChoice> BrowseForItem(HWND owner, int32_t type) {
    PIDLIST_ABSOLUTE root = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &root))) {
        root = nullptr;
    }
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = root;
    info.pszDisplayName = displayName;
    info.ulFlags = BIF_RETURNONLYFSDIRS | (type == 1 ? 0 : BIF_BROWSEINCLUDEFILES);
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
    if (!services_.browse) {
        services_.browse = BrowseForItem;
    }
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
    return true;
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
    const std::optional<engine::ControlObject> object = services_.engine->Object(number_);
    if (!object) {
        return;
    }
    const int32_t type = engine::FoldType(object->settings.Type);
    const std::string path = KeptPath(object->settings, type);
    // The file system is asked before the engine lock is taken.
    const bool present = ItemPresent(type, path);
    const bool clearFileBaseline = !present && type == 0 && object->baseline.File_OK_Old;
    if (type != object->settings.Type || clearFileBaseline) {
        services_.engine->EditObject(number_,
                                     [&](engine::ObjectSettings& settings, engine::Baseline& baseline) {
                                         settings.Type = type;
                                         if (!present && type == 0) {
                                             baseline.File_OK_Old = false;
                                         }
                                     });
    }
    SetFieldText(typeField_, Texts().Text(TypeText(type)));
    ApplyObjectParam();
    const std::string& stateText = Texts().Text(present ? PresentText(type) : AbsentText(type));
    SetPathField(present ? std::string_view(path) : std::string_view(stateText));
    pathIndicator_.SetColour(present ? kLit : kDark);
    SetHint(pathIndicator_.Handle(), stateText);
    CaretToEndAndHint();
}

void ObjectPanel::ApplyObjectParam() {
    const std::optional<engine::ControlObject> object = services_.engine->Object(number_);
    if (!object) {
        return;
    }
    const int32_t type = engine::FoldType(object->settings.Type);
    const int32_t param = engine::FoldParam(type, object->settings.Param);
    if (param != object->settings.Param) {
        services_.engine->EditObject(number_, [&](engine::ObjectSettings& settings, engine::Baseline&) {
            settings.Param = engine::FoldParam(engine::FoldType(settings.Type), settings.Param);
        });
    }
    SetFieldText(paramField_, Texts().Text(ParamText(type, param)));
    ShowSearch(VisibleControls(razr_.Checked(), type, param).search);
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
    SetPathField(KeptPath(object->settings, engine::FoldType(object->settings.Type)));
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
    services_.engine->EditObject(
        number_, [](engine::ObjectSettings& settings, engine::Baseline&) { ++settings.Type; });
    ApplyObjectType();
    StopControl();
}

void ObjectPanel::Sb_Type_DownClick() {
    services_.engine->EditObject(
        number_, [](engine::ObjectSettings& settings, engine::Baseline&) { --settings.Type; });
    ApplyObjectType();
    StopControl();
}

void ObjectPanel::Sb_PathClick() {
    const std::optional<engine::ControlObject> object = services_.engine->Object(number_);
    if (!object) {
        return;
    }
    const int32_t type = engine::FoldType(object->settings.Type);
    const std::optional<BrowseChoice> choice =
        services_.browse(::GetAncestor(panel_.Handle(), GA_ROOT), type);
    if (!choice) {
        // Cancelled: the object keeps its item and its baselines; nothing was chosen to test.
        return;
    }
    const bool present = ItemPresent(type, choice->path);
    services_.engine->EditObject(number_, [&](engine::ObjectSettings& settings, engine::Baseline& baseline) {
        ApplyBrowse(number_, type, *choice, present, settings, baseline);
    });
    const std::string& stateText = Texts().Text(present ? PresentText(type) : AbsentText(type));
    SetPathField(present ? std::string_view(choice->path) : std::string_view(stateText));
    pathIndicator_.SetColour(present ? kLit : kDark);
    SetHint(pathIndicator_.Handle(), stateText);
    CaretToEndAndHint();
}

void ObjectPanel::Edit_PathChange() {
    StopControl();
}

void ObjectPanel::Sb_Param_UpClick() {
    services_.engine->EditObject(
        number_, [](engine::ObjectSettings& settings, engine::Baseline&) { ++settings.Param; });
    ApplyObjectParam();
    StopControl();
}

void ObjectPanel::Sb_Param_DownClick() {
    services_.engine->EditObject(
        number_, [](engine::ObjectSettings& settings, engine::Baseline&) { --settings.Param; });
    ApplyObjectParam();
    StopControl();
}

void ObjectPanel::Edit_StringChange() {
    const std::string text = SearchField();
    const std::optional<engine::ControlObject> object = services_.engine->Object(number_);
    if (!object) {
        return;
    }
    if (engine::FoldType(object->settings.Type) == 0) {
        services_.engine->SearchTextChanged(number_, text);
    } else if (object->settings.String != text) {
        // A directory or application object only keeps the text: a file check would report a file
        // outcome on its item, and its count baseline belongs to the file it watched before.
        services_.engine->EditObject(
            number_, [&](engine::ObjectSettings& settings, engine::Baseline&) { settings.String = text; });
    }
}

void ObjectPanel::Sb_ActionClick() {
    StopControl();
    ShowObjectAction();
    if (services_.openMacroEditor) {
        services_.openMacroEditor(number_);
    }
}

void ObjectPanel::ShowCheckReport(const engine::IndicatorReport& report) {
    pathIndicator_.SetColour(report.pathColour);
    SetHint(pathIndicator_.Handle(), report.pathHint);
    if (report.stringColour) {
        stringIndicator_.SetColour(*report.stringColour);
    }
    if (report.stringHint) {
        SetHint(stringIndicator_.Handle(), *report.stringHint);
    }
}

void ObjectPanel::SetMacroIndicator(const macros::MacroIndicator& indicator) {
    macroIndicator_.SetColour(indicator.colour);
    SetHint(macroIndicator_.Handle(), indicator.hint);
}

void ObjectPanel::UpdateHover(POINT cursor, POINT window, bool windowVisible) {
    for (int i = 0; i < 6; ++i) {
        const ButtonLayout& layout = kButtons[i];
        const RECT box =
            widgets::BoxAt(window.x + kPanelLeft + layout.left, window.y + PanelTop(number_) + layout.top,
                           layout.width, layout.height);
        const bool hot = windowVisible && widgets::IsStrictlyInside(box, cursor);
        buttons_[i]->SetPicture(HoverPicture(hot, layout.normal, layout.hot));
    }
}

std::vector<std::pair<std::string, HWND>> ObjectPanel::NamedControls() const {
    auto name = [this](std::string_view pattern) { return lang::ControlName(pattern, number_); };
    std::vector<std::pair<std::string, HWND>> controls = {
        {name("Panel_Obj#"), panel_.Handle()},
        {name("Cb_Razr_Obj#"), razr_.Handle()},
        {name("Edit_Type_Obj#"), typeField_.Handle()},
        {name("Edit_Path_Obj#"), pathField_.Handle()},
        {name("Ind_Path_Obj#"), pathIndicator_.Handle()},
        {name("Edit_Param_Obj#"), paramField_.Handle()},
        {name("Edit_String_Obj#"), searchField_.Handle()},
        {name("Ind_String_Obj#"), stringIndicator_.Handle()},
        {name("Edit_Action_Obj#"), actionField_.Handle()},
        {name("Ind_Macros_#"), macroIndicator_.Handle()},
    };
    for (int i = 0; i < 6; ++i) {
        controls.emplace_back(name(kButtons[i].name), buttons_[i]->Handle());
    }
    return controls;
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
