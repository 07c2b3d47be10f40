#include "ui/program_tray.h"

#include <utility>

#include "lang/constants.h"
#include "ui/shell_logic.h"

namespace orv::ui {
namespace {

using lang::MainControl;

// The menu's items from the top: start, stop, the two pauses, the web pages, exit; the two pauses
// share their picture.
struct TrayItem {
    MainControl control;
    int picture;
    void (ProgramTray::*click)();
};
constexpr TrayItem kItems[kTrayItems] = {
    {MainControl::TrayMenu_1, 0, &ProgramTray::TrayMenu_1Click},
    {MainControl::TrayMenu_2, 1, &ProgramTray::TrayMenu_2Click},
    {MainControl::TrayMenu_6, 5, &ProgramTray::TrayMenu_6Click},
    {MainControl::TrayMenu_7, 5, &ProgramTray::TrayMenu_7Click},
    {MainControl::TrayMenu_3, 2, &ProgramTray::TrayMenu_3Click},
    {MainControl::TrayMenu_4, 3, &ProgramTray::TrayMenu_4Click},
    {MainControl::TrayMenu_5, 4, &ProgramTray::TrayMenu_5Click},
};

// The item's place in the menu; -1 for a control that is no item.
constexpr int ItemOf(MainControl control) {
    for (int i = 0; i < kTrayItems; ++i) {
        if (kItems[i].control == control) {
            return i;
        }
    }
    return -1;
}

}  // namespace

void ProgramTray::Create(const ProgramTrayServices& services, const ProgramTrayActions& actions) {
    services_ = services;
    actions_ = actions;
    icon_.Create(services_.pictures->smallIcon.Get(), lang::kProgramName);
    icon_.onDoubleClick = [this] { actions_.showWindow(); };
    icon_.onBalloonClick = [this] {
        if (icon_.Active()) {
            actions_.showWindow();
        }
    };
    widgets::TrayMenu& menu = icon_.PopupMenu();
    menu.SetCaption(lang::kProgramName);
    for (const TrayItem& item : kItems) {
        const int number = static_cast<int>(item.control) - static_cast<int>(MainControl::TrayMenu_1) + 1;
        menu.Add("TrayMenu_" + std::to_string(number), &services_.pictures->trayMenu[item.picture],
                 [this, click = item.click] { (this->*click)(); });
    }
}

void ProgramTray::ShowLanguage(const lang::LanguageTable& table) {
    texts_ = &table;
    for (const lang::AppliedText<MainControl>& applied : lang::MainWindowTexts(table, false)) {
        const int item = ItemOf(applied.control);
        if (item < 0) {
            continue;
        }
        if (applied.slot == lang::TextSlot::Caption) {
            icon_.PopupMenu().SetText(item, applied.text);
        } else {
            hints_[item] = applied.text;
        }
    }
    ShowPauseTip();
}

std::optional<std::string> ProgramTray::CaptionOf(MainControl control) const {
    const int item = ItemOf(control);
    return item < 0 ? std::nullopt : std::optional<std::string>(icon_.PopupMenu().Text(item));
}

std::optional<std::string> ProgramTray::HintOf(MainControl control) const {
    const int item = ItemOf(control);
    return item < 0 ? std::nullopt : std::optional<std::string>(hints_[item]);
}

void ProgramTray::Tick() {
    // "Control: Stop" also cancels a pause, so it stays enabled while one runs.
    if (pause_.Active() && pause_.TakeDue(Now())) {
        ShowPauseTip();
        if (!services_.engine->ControlRunning()) {
            services_.engine->StartControl();
        }
    }
    const bool running = services_.engine->ControlRunning();
    widgets::TrayMenu& menu = icon_.PopupMenu();
    menu.SetEnabled(ItemOf(MainControl::TrayMenu_1), !running);
    menu.SetEnabled(ItemOf(MainControl::TrayMenu_2), running || pause_.Active());
    menu.SetEnabled(ItemOf(MainControl::TrayMenu_6), running);
    menu.SetEnabled(ItemOf(MainControl::TrayMenu_7), running);
}

void ProgramTray::NotifyEvents(const std::vector<std::string>& events) {
    // Only a user who cannot see the window is told, and only when hints are wanted at all.
    if (!icon_.Active() || !services_.state->CurrentOptions().HintShow || events.empty()) {
        return;
    }
    const std::string text = BalloonText(*texts_, events);
    const std::string title(lang::kProgramName);
    if (services_.showBalloon) {
        services_.showBalloon(title, text);
        return;
    }
    icon_.ShowBalloon(title, text);
}

void ProgramTray::TrayMenu_1Click() {
    CancelPause();
    if (!services_.engine->ControlRunning()) {
        services_.engine->StartControl();
    }
}

void ProgramTray::TrayMenu_2Click() {
    CancelPause();
    if (services_.engine->ControlRunning()) {
        services_.engine->StopControl();
    }
}

void ProgramTray::TrayMenu_3Click() {
    actions_.openPage(std::string(HomePage(texts_->Language())));
}

void ProgramTray::TrayMenu_4Click() {
    actions_.openPage(std::string(ProgramPage(texts_->Language())));
}

void ProgramTray::TrayMenu_5Click() {
    actions_.exit();
}

void ProgramTray::TrayMenu_6Click() {
    PauseControl(std::chrono::minutes(15));
}

void ProgramTray::TrayMenu_7Click() {
    PauseControl(std::chrono::minutes(60));
}

void ProgramTray::PauseControl(std::chrono::minutes length) {
    if (!services_.engine->ControlRunning()) {
        return;
    }
    services_.engine->StopControl();
    pause_.Begin(Now(), length);
    ShowPauseTip();
}

void ProgramTray::CancelPause() {
    if (pause_.Active()) {
        pause_.Cancel();
        ShowPauseTip();
    }
}

void ProgramTray::ShowPauseTip() {
    if (!pause_.Active()) {
        icon_.SetTip(lang::kProgramName);
        return;
    }
    icon_.SetTip(engine::PauseTip(pause_, *texts_, std::string(lang::kProgramName),
                                  clock::SystemFormats().shortTime, clock::SystemNames()));
}

engine::ControlPause::Clock::time_point ProgramTray::Now() const {
    return services_.now();
}

}  // namespace orv::ui
