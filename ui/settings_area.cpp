#include "ui/settings_area.h"

#include <utility>

#include "engine/log_retention.h"
#include "ui/shell_logic.h"
#include "widgets/mouse.h"

namespace orv::ui {
namespace {

using lang::MainControl;

constexpr UpDownPlace kLanguagePlace{.left = 36, .panelTop = 452, .panelWidth = 90, .labelWidth = 130};
// Right of the reset button.
constexpr UpDownPlace kLogKeepPlace{.left = 404, .panelTop = 532, .panelWidth = 110, .labelWidth = 160};

constexpr int kStartLeft = 22, kResetLeft = 215, kLargeTop = 510;

// Two columns of option boxes: the program's behaviour on the left; the log and the events on the
// right, three rows. Each box has its label right of it, and both have the option's hint.
struct OptionPlace {
    int left, top, labelWidth;
    MainControl box, label;
    void (SettingsArea::*toggle)();
};
constexpr OptionPlace kOptions[kOptionBoxes] = {
    {180, 426, 130, MainControl::Cb_MinFormShow, MainControl::Lbl_MinFormShow,
     &SettingsArea::Cb_MinFormShowClick},
    {180, 452, 130, MainControl::Cb_AutoRun, MainControl::Lbl_AutoRun, &SettingsArea::Cb_AutoRunClick},
    {340, 426, 320, MainControl::Cb_HintShow, MainControl::Lbl_HintShow, &SettingsArea::Cb_HintShowClick},
    {340, 452, 320, MainControl::Cb_LogOK, MainControl::Lbl_LogOK, &SettingsArea::Cb_LogOKClick},
    {340, 478, 260, MainControl::Cb_WaitFinished, MainControl::Lbl_WaitFinished,
     &SettingsArea::Cb_WaitFinishedClick},
};
constexpr int kOptionBoxSize = 23;

}  // namespace

std::string LogKeepText(int32_t days, const lang::LanguageTable& texts) {
    using lang::TextId;
    switch (engine::ValidLogKeepDays(days)) {
        case 1:
            return texts.Text(TextId::LogKeep1Day);
        case 7:
            return texts.Text(TextId::LogKeep7Days);
        case 30:
            return texts.Text(TextId::LogKeep30Days);
        case 365:
            return texts.Text(TextId::LogKeep365Days);
        default:
            return texts.Text(TextId::LogKeepForever);
    }
}

void SettingsArea::Create(HWND window, const SettingsAreaServices& services,
                          const SettingsAreaActions& actions) {
    services_ = services;
    actions_ = actions;
    const widgets::PictureSet& buttons = services_.pictures->buttons;
    // Both arrows switch to the other language: there are two.
    language_.Create(window, kLanguagePlace, buttons, services_.fieldFont,
                     [this](int step) { step > 0 ? Sb_Lang_UpClick() : Sb_Lang_DownClick(); });
    logKeep_.Create(window, kLogKeepPlace, buttons, services_.fieldFont,
                    [this](int step) { StepLogKeepDays(step); });
    CreateOptionBoxes(window);
    CreateLargeButtons(window);
    MapRoles();
}

void SettingsArea::CreateOptionBoxes(HWND window) {
    const widgets::LabelStyle caption = widgets::CaptionStyle();
    for (int i = 0; i < kOptionBoxes; ++i) {
        const OptionPlace& option = kOptions[i];
        const auto toggle = [this, click = option.toggle] { (this->*click)(); };
        optionBoxes_[i].Create({.place = {window, option.left, option.top, kOptionBoxSize, kOptionBoxSize},
                                .pictures = &services_.pictures->buttons,
                                .picture = widgets::btn::kOptionOff,
                                .tickedPicture = widgets::btn::kOptionOn});
        optionBoxes_[i].onClick = toggle;
        optionLabels_[i].Create({.place = {window, option.left + 25, option.top + 4, option.labelWidth, 16},
                                 .text = "",
                                 .style = caption});
        optionLabels_[i].onClick = toggle;
    }
}

void SettingsArea::CreateLargeButtons(HWND window) {
    const widgets::Backdrop* skin = &services_.pictures->mainSkin;
    start_.Create({.parent = window, .x = kStartLeft, .y = kLargeTop, .backdrop = skin, .handCursor = true});
    reset_.Create({.parent = window, .x = kResetLeft, .y = kLargeTop, .backdrop = skin, .handCursor = true});
    start_.onClick = [this] { actions_.start(); };
    reset_.onClick = [this] { actions_.reset(); };
    DrawLargeButtons();
}

void SettingsArea::MapRoles() {
    roles_.Map(MainControl::Lbl_Lang, language_.Label());
    roles_.Map(MainControl::Edit_Lang, language_.Field());
    roles_.Map(MainControl::Lbl_LogKeep, logKeep_.Label());
    roles_.Map(MainControl::Edit_LogKeep, logKeep_.Field());
    for (int i = 0; i < kOptionBoxes; ++i) {
        roles_.Map(kOptions[i].box, optionBoxes_[i]);
        roles_.Map(kOptions[i].label, optionLabels_[i]);
    }
    roles_.Map(MainControl::Sb_Start, start_);
    roles_.Map(MainControl::Sb_Reset, reset_);
}

void SettingsArea::AddToTabOrder(widgets::TabOrder& order) const {
    for (int i : {0, 2, 1, 3, 4}) {
        order.Add(optionBoxes_[i].Handle());
    }
    language_.AddToTabOrder(order);
    order.Add(start_.Handle());
    order.Add(reset_.Handle());
    logKeep_.AddToTabOrder(order);
}

void SettingsArea::ShowLanguage(const lang::LanguageTable& table) {
    texts_ = &table;
    roles_.Show(lang::MainWindowTexts(table, services_.engine->ControlRunning()), *services_.hints);
    logKeep_.ShowValue(LogKeepText(services_.state->LogKeepDays(), table));
    DrawLargeButtons();
}

void SettingsArea::DrawLargeButtons() {
    const int32_t language = texts_->Language();
    const bool running = services_.engine->ControlRunning();
    const widgets::PictureSet& buttons = services_.pictures->buttons;
    start_.Show(buttons, StartPicture(language, running, startHot_, start_.LeftHeld()));
    reset_.Show(buttons, ResetPicture(language, resetHot_, reset_.LeftHeld()));
}

void SettingsArea::UpdateHover(const widgets::Hover& hover) {
    language_.UpdateHover(hover);
    logKeep_.UpdateHover(hover);
    startHot_ = hover.Hot(kStartLeft, kLargeTop, widgets::kLargeButtonWidth, widgets::kLargeButtonHeight);
    resetHot_ = hover.Hot(kResetLeft, kLargeTop, widgets::kLargeButtonWidth, widgets::kLargeButtonHeight);
    DrawLargeButtons();
}

bool SettingsArea::StepByKey(HWND focus, bool up) {
    return language_.StepByKey(focus, up) || logKeep_.StepByKey(focus, up);
}

void SettingsArea::ShowOptionBoxes() {
    const settings::Options& options = services_.state->CurrentOptions();
    const bool on[kOptionBoxes] = {options.MinFormShow, services_.state->AutoRunInEffect(), options.HintShow,
                                   services_.engine->LogOK(), services_.engine->WaitFinished()};
    for (int i = 0; i < kOptionBoxes; ++i) {
        optionBoxes_[i].SetPicture(on[i] ? widgets::btn::kOptionOn : widgets::btn::kOptionOff);
    }
}

void SettingsArea::Cb_HintShowClick() {
    services_.state->Cb_HintShowClick();
    services_.hints->SetEnabled(services_.state->CurrentOptions().HintShow);
    ShowOptionBoxes();
}

void SettingsArea::Cb_AutoRunClick() {
    const std::string message = services_.state->Cb_AutoRunClick();
    if (!message.empty() && services_.showError) {
        services_.showError(message);
    }
    ShowOptionBoxes();
}

void SettingsArea::Cb_MinFormShowClick() {
    services_.state->Cb_MinFormShowClick();
    ShowOptionBoxes();
}

void SettingsArea::Cb_LogOKClick() {
    services_.state->Cb_LogOKClick();
    ShowOptionBoxes();
}

void SettingsArea::Cb_WaitFinishedClick() {
    services_.state->Cb_WaitFinishedClick();
    ShowOptionBoxes();
}

void SettingsArea::StepLogKeepDays(int step) {
    services_.state->StepLogKeepDays(step);
    logKeep_.ShowValue(LogKeepText(services_.state->LogKeepDays(), *texts_));
}

void SettingsArea::Sb_Lang_UpClick() {
    actions_.switchLanguage();
}

void SettingsArea::Sb_Lang_DownClick() {
    // Two languages: both arrows switch to the other one.
    actions_.switchLanguage();
}

}  // namespace orv::ui
