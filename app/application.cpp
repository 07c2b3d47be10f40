#include "app/application.h"

#include <objbase.h>

#include "platform/paths.h"
#include "platform/win32/wide.h"
#include "widgets/keyboard.h"

namespace orv::app {

namespace {

// A message of the system's kind, over `owner`; nothing for an empty text.
void ShowMessage(HWND owner, const std::string& text) {
    if (!text.empty()) {
        ::MessageBoxW(owner, win32::Wide(text).c_str(), L"Orvanter", MB_OK | MB_ICONERROR);
    }
}

}  // namespace

Application::Application(HINSTANCE instance)
    : instance_(instance),
      comInitialised_(
          SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))),
      pictures_(widgets::BuildProgramPictures()),
      macros_(macros::MacroTable::DefaultBatFolder()),
      engine_(ServicesForEngine()),
      state_(engine_, language_, macros_, paths::ExecutablePath()) {}

Application::~Application() {
    // Given back before the members go: the main window has gone and the hidden windows that remain
    // ask the shell for nothing.
    if (comInitialised_) {
        ::CoUninitialize();
    }
}

engine::EngineServices Application::ServicesForEngine() {
    engine::EngineServices services;
    services.texts = [this] { return language_.Table(); };
    services.runMacro = [this](int number, const launch::Environment& environment) {
        macros_.RunMacro(number, environment);
    };
    services.display = display_.Sink();
    return services;
}

ui::MainWindowServices Application::ServicesForMainWindow() {
    ui::MainWindowServices services;
    services.engine = &engine_;
    services.state = &state_;
    services.language = &language_;
    services.macros = &macros_;
    services.pictures = pictures_.get();
    services.hints = &hints_;
    services.display = &display_;
    services.programFolder = paths::ExecutableFolder();
    return services;
}

bool Application::Start(bool startControl, SingleInstance& instance) {
    hints_.Start();
    if (!mainWindow_.Create(ServicesForMainWindow())) {
        return false;
    }
    instance.Publish(mainWindow_.Handle());
    ShowMessage(nullptr, mainWindow_.LoadMessage());
    CreateSplash();
    CreateMacroEditor();
    if (startControl) {
        mainWindow_.StartControlWhenShown();
    }
    mainWindow_.ShowMain();
    return true;
}

void Application::CreateSplash() {
    state_.CreateSplashWindow();
    splash_.Create(instance_, pictures_->splash);
    WireSplash();
}

void Application::CreateMacroEditor() {
    ShowMessage(nullptr, state_.CreateMacroEditor());
    editor_.Create(instance_, macros_, language_, *pictures_);
    WireMacroEditor();
}

void Application::WireSplash() {
    splash_.onClosed = [this] { mainWindow_.SplashClosed(); };
    mainWindow_.children.showSplash = [this](HWND owner) { splash_.ShowModal(owner); };
}

void Application::WireMacroEditor() {
    editor_.onShownChanged = [this](bool open) { mainWindow_.SetChildWindowOpen(open); };
    editor_.onApplied = [this] { mainWindow_.UpdateMacroIndicators(); };
    ui::ChildWindows& children = mainWindow_.children;
    children.showMacroEditor = [this](HWND owner, int number) { editor_.ShowModalFor(owner, number); };
    children.macroEditorVisible = [this] { return editor_.Visible(); };
    children.hideMacroEditor = [this] { editor_.Hide(); };
    children.applyEditorLanguage = [this](const lang::LanguageTable& table) { editor_.ShowLanguage(table); };
}

int Application::Run() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        widgets::DispatchWithKeys(message);
    }
    // The main window saved everything while it was destroyed (the scan thread ended first).
    ShowMessage(nullptr, mainWindow_.ExitMessage());
    hints_.Stop();
    return 0;
}

}  // namespace orv::app
