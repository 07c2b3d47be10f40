// Orvanter.exe: creates the program's state and its windows in their order (main window, splash,
// macro editor), shows the main window and runs the message loop; at the end reports what could not
// be saved.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/single_instance.h"

#include "engine/engine.h"
#include "lang/language.h"
#include "macros/macro_editor_window.h"
#include "macros/macro_table.h"
#include "platform/paths.h"
#include "platform/win32/wide.h"
#include "settings/startup.h"
#include "ui/main_window.h"
#include "ui/shell_logic.h"
#include "ui/splash_window.h"
#include "widgets/hints.h"
#include "widgets/keyboard.h"
#include "widgets/pictures.h"
#include "widgets/window_text.h"

namespace {

void ShowMessage(HWND owner, const std::string& text) {
    if (!text.empty()) {
        ::MessageBoxW(owner, orv::win32::Wide(text).c_str(), L"Orvanter", MB_OK | MB_ICONERROR);
    }
}

// The program's arguments, without its own name.
std::vector<std::string> Arguments() {
    std::vector<std::string> arguments;
    int count = 0;
    if (LPWSTR* list = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            arguments.push_back(orv::win32::Narrow(list[i]));
        }
        ::LocalFree(list);
    }
    return arguments;
}

// The switches, in the interface language stored for the user.
void ShowSwitches() {
    orv::lang::LanguageState language;
    language.Load();
    const std::string& text = language.Table()->Text(orv::lang::TextId::CommandLineHelp);
    ::MessageBoxW(nullptr, orv::win32::Wide(text).c_str(), L"Orvanter", MB_OK | MB_ICONINFORMATION);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const orv::ui::CommandLine commandLine = orv::ui::ParseCommandLine(Arguments());
    if (commandLine.showHelp) {
        ShowSwitches();
        return 0;
    }
    // One program per user session: a second start brings the running one forward and ends before it
    // reads or writes anything, so two programs never save over each other's baselines.
    orv::app::SingleInstance single(orv::app::InstanceName(orv::app::CurrentUserIdentity()));
    if (!single.First()) {
        orv::app::AskToComeToFront(single.RunningWindow(std::chrono::seconds(1)),
                                   orv::ui::ComeToFrontMessage());
        return 0;
    }
    if (commandLine.unknownSwitch) {
        ShowSwitches();
    }

    // The shell's folder browser and ShellExecute need COM on this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    const auto pictures = orv::widgets::BuildProgramPictures();
    orv::widgets::Hints hints;
    hints.Start();

    orv::lang::LanguageState language;
    orv::macros::MacroTable macros(orv::macros::MacroTable::DefaultBatFolder());
    orv::ui::DisplayHandOff display;
    orv::engine::EngineServices engineServices;
    engineServices.texts = [&language] { return language.Table(); };
    engineServices.runMacro = [&macros](int number, const orv::launch::Environment& environment) {
        macros.RunMacro(number, environment);
    };
    engineServices.display = display.Sink();
    orv::engine::Engine engine(std::move(engineServices));
    orv::settings::ProgramState state(engine, language, macros, orv::paths::ExecutablePath());

    // 1. The main window: settings, objects and baselines are loaded.
    orv::ui::TfmMain mainWindow;
    orv::ui::MainWindowServices services;
    services.engine = &engine;
    services.state = &state;
    services.language = &language;
    services.macros = &macros;
    services.pictures = pictures.get();
    services.hints = &hints;
    services.display = &display;
    services.programFolder = orv::paths::ExecutableFolder();
    if (!mainWindow.Create(services)) {
        return 1;
    }
    single.Publish(mainWindow.Handle());
    ShowMessage(nullptr, mainWindow.LoadMessage());

    // 2. The splash window (the interface language is read), then the macro editor (the macros).
    state.CreateSplashWindow();
    orv::ui::SplashWindow splash;
    splash.Create(instance, pictures->splash);
    splash.onClosed = [&mainWindow] { mainWindow.SplashClosed(); };
    mainWindow.children.showSplash = [&splash](HWND owner) { splash.ShowModal(owner); };
    ShowMessage(nullptr, state.CreateMacroEditor());
    orv::macros::MacroEditorWindow editor;
    editor.Create(instance, macros, language, *pictures);
    editor.onShownChanged = [&mainWindow](bool open) { mainWindow.SetChildWindowOpen(open); };
    editor.onApplied = [&mainWindow] { mainWindow.UpdateMacroIndicators(); };

    mainWindow.children.showMacroEditor = [&editor](HWND owner, int number) {
        editor.ShowModalFor(owner, number);
    };
    mainWindow.children.macroEditorVisible = [&editor] { return editor.Visible(); };
    mainWindow.children.hideMacroEditor = [&editor] { editor.Hide(); };
    mainWindow.children.applyEditorLanguage = [&editor](const orv::lang::LanguageTable& table) {
        editor.ApplyLanguage(table);
    };

    // 3. The main window is shown (splash first, once); "/start" starts control right after.
    if (commandLine.startControl) {
        mainWindow.StartControlWhenShown();
    }
    mainWindow.ShowMain();

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        orv::widgets::DispatchWithKeys(message);
    }
    // The main window saved everything while it was destroyed (the scan thread ended first).
    ShowMessage(nullptr, mainWindow.ExitMessage());
    hints.Stop();
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    return 0;
}
