// What the main window works with: the program's state and the ways out of the program that tests
// catch.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "engine/control_pause.h"
#include "engine/engine.h"
#include "lang/language.h"
#include "macros/macro_table.h"
#include "platform/registry.h"
#include "settings/startup.h"
#include "ui/display_hand_off.h"
#include "ui/panel_logic.h"
#include "widgets/hints.h"
#include "widgets/pictures.h"

namespace orv::ui {

// Everything the main window works with. The program passes its own; tests pass scratch keys and
// temporary folders through the state and catch what would leave the program.
struct MainWindowServices {
    engine::Engine* engine = nullptr;
    settings::ProgramState* state = nullptr;
    lang::LanguageState* language = nullptr;
    macros::MacroTable* macros = nullptr;
    const widgets::ProgramPictures* pictures = nullptr;
    widgets::Hints* hints = nullptr;
    DisplayHandOff* display = nullptr;
    // The key the language switch writes "Languare" to.
    std::string programKey = std::string(reg::kProgramKey);
    // The folder the help files lie in (the executable's, ending in a separator).
    std::string programFolder;
    // Opens a document or address with the shell's default action (ShellExecuteW when empty, on a thread
    // of its own).
    std::function<void(HWND owner, const std::string& target, int showCommand)> shellOpen;
    // Shows an error message of the system's kind (a message box when empty).
    std::function<void(const std::string&)> showMessage;
    // Puts up a balloon over the tray icon (the tray icon's own when empty).
    std::function<void(const std::string& title, const std::string& text)> showBalloon;
    // Where the work timer reads the cursor (the system's cursor position when empty).
    std::function<POINT()> cursorPosition;
    // The system's clock, which ends a pause of control (std::chrono::system_clock when empty).
    std::function<engine::ControlPause::Clock::time_point()> now;
    // The browse dialog of the object panels (BrowseForItem when empty).
    std::function<std::optional<BrowseChoice>(HWND, ObjectType)> browse;
};

// The services with every empty way out filled with the system's own, but the message box, whose owner
// is the window.
MainWindowServices WithSystemDefaults(MainWindowServices services);

}  // namespace orv::ui
