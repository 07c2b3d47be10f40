// The main window's tray icon with its menu: start, stop, the two pauses, the two web pages and exit.
// The icon is inactive until the window hides to the tray. A pause stops control until its time and
// the icon's tip says until when; the balloon tells of fulfilled objects while the window is hidden.
#pragma once

#include <windows.h>

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/control_pause.h"
#include "engine/engine.h"
#include "lang/apply.h"
#include "lang/language.h"
#include "settings/startup.h"
#include "widgets/pictures.h"
#include "widgets/tray.h"

namespace orv::ui {

// The tray menu's items: start, stop, two pauses, two web pages, exit.
inline constexpr int kTrayItems = 7;

struct ProgramTrayServices {
    engine::Engine* engine = nullptr;
    const settings::ProgramState* state = nullptr;
    const widgets::ProgramPictures* pictures = nullptr;
    // Puts up a balloon over the icon (the icon's own when empty).
    std::function<void(const std::string& title, const std::string& text)> showBalloon;
    // The system's clock, which ends a pause of control; it must be set.
    std::function<engine::ControlPause::Clock::time_point()> now;
};

// What the icon and the menu ask of the window.
struct ProgramTrayActions {
    std::function<void()> showWindow;
    std::function<void(const std::string& address)> openPage;
    std::function<void()> exit;
};

class ProgramTray {
  public:
    void Create(const ProgramTrayServices& services, const ProgramTrayActions& actions);
    // The items' captions and hints and the icon's tip in the language of `table`.
    void ShowLanguage(const lang::LanguageTable& table);
    // A timer tick: control starts again when a pause is over; the items follow the running state.
    void Tick();
    // The balloon with the events of a cycle, while the window is hidden and hints are wanted.
    void NotifyEvents(const std::vector<std::string>& events);
    void CancelPause();

    // --- Handlers ---
    void TrayMenu_1Click();
    void TrayMenu_2Click();
    void TrayMenu_3Click();
    void TrayMenu_4Click();
    void TrayMenu_5Click();
    void TrayMenu_6Click();  // pause for 15 minutes
    void TrayMenu_7Click();  // pause for 1 hour

    // --- What the tray shows (the tests read these) ---
    widgets::TrayIcon& Icon() { return icon_; }
    // Activated: the window is hidden to the tray.
    bool Active() const { return icon_.Active(); }
    widgets::TrayMenu& PopupMenu() { return icon_.PopupMenu(); }
    std::string Tip() const { return icon_.Tip(); }
    HWND Handle() const { return icon_.Handle(); }
    const engine::ControlPause& Pause() const { return pause_; }
    // The caption or hint of a menu item; nothing for a control that is no item.
    std::optional<std::string> CaptionOf(lang::MainControl control) const;
    std::optional<std::string> HintOf(lang::MainControl control) const;

  private:
    void PauseControl(std::chrono::minutes length);
    void ShowPauseTip();
    engine::ControlPause::Clock::time_point Now() const;

    ProgramTrayServices services_;
    ProgramTrayActions actions_;
    // The language last shown; one table per language lives for the whole run.
    const lang::LanguageTable* texts_ = lang::LanguageTable::For(lang::kEnglish).get();
    widgets::TrayIcon icon_;
    engine::ControlPause pause_;
    // The items have no window: the menu keeps their captions, this their hints.
    std::array<std::string, kTrayItems> hints_;
};

}  // namespace orv::ui
