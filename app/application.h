// The running program: the state its windows share (pictures, hints, language, macros, the engine and
// the settings) and its three windows, which it creates in their order and wires to each other.
#pragma once

#include <windows.h>

#include <memory>

#include "app/single_instance.h"
#include "engine/engine.h"
#include "lang/language.h"
#include "macros/macro_editor_window.h"
#include "macros/macro_table.h"
#include "settings/startup.h"
#include "ui/main_window.h"
#include "ui/splash_window.h"
#include "widgets/hints.h"
#include "widgets/pictures.h"

namespace orv::app {

class Application {
  public:
    explicit Application(HINSTANCE instance);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Creates the windows in their order: the main window (settings, objects and baselines are loaded;
    // later starts find it through `instance`), the splash (the interface language), the macro editor
    // (the macros). Then shows the main window, splash first; with `startControl` control starts once
    // it shows ("/start"). False when the main window cannot be made.
    bool Start(bool startControl, SingleInstance& instance);
    // Runs the message loop until the main window has gone (it saved everything on its way), reports
    // what could not be saved and returns the program's exit code.
    int Run();

  private:
    engine::EngineServices ServicesForEngine();
    ui::MainWindowServices ServicesForMainWindow();
    void CreateSplash();
    void CreateMacroEditor();
    // The main window reaches the splash and the editor through these; they tell it when they close.
    void WireSplash();
    void WireMacroEditor();

    HINSTANCE instance_;
    // COM on this thread, for the shell's folder browser and ShellExecute: before anything else.
    bool comInitialised_;
    // Declared in the order they are made; they go in the reverse order, the windows first.
    std::unique_ptr<widgets::ProgramPictures> pictures_;
    widgets::Hints hints_;
    lang::LanguageState language_;
    macros::MacroTable macros_;
    ui::DisplayHandOff display_;
    engine::Engine engine_;
    settings::ProgramState state_;
    ui::TfmMain mainWindow_;
    ui::SplashWindow splash_;
    macros::MacroEditorWindow editor_;
};

}  // namespace orv::app
