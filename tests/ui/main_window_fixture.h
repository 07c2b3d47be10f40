// A real main window for the tests: its own scratch registry keys, a temporary program folder (Bat\,
// Log\), and the shell, the message boxes, the browse dialog and the cursor caught by the test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "lang/language.h"
#include "macros/macro_table.h"
#include "platform/registry.h"
#include "settings/startup.h"
#include "tests/support/test_support.h"
#include "tests/support/window_support.h"
#include "ui/main_window.h"
#include "widgets/hints.h"
#include "widgets/pictures.h"

namespace orv::ui::test {

using orv::test::Pump;
using orv::test::SharedPictures;

// The hints are made once per test program, as the program makes them once per run.
inline widgets::Hints& SharedHints() {
    static widgets::Hints* hints = [] {
        auto* made = new widgets::Hints;
        made->Start();
        return made;
    }();
    return *hints;
}

struct ShellCall {
    std::string target;
    int showCommand;
};

class MainWindowTest : public ::testing::Test {
  protected:
    orv::test::ScratchKey key{"ui"};
    orv::test::TempDirectory folder{"orv ui"};
    lang::LanguageState language;
    std::unique_ptr<macros::MacroTable> macroTable;
    DisplayHandOff display;
    std::atomic<int64_t> sinceStart{3'600'000};  // the engine's time since the system started, in ms
    std::unique_ptr<engine::Engine> engine;
    std::unique_ptr<settings::ProgramState> state;
    std::unique_ptr<TfmMain> window;

    POINT cursor{-100, -100};
    std::vector<ShellCall> shellCalls;
    std::vector<std::string> messages;
    std::vector<std::string> balloons;  // "title|text" of every balloon asked for
    std::deque<std::optional<BrowseChoice>> browseAnswers;
    std::vector<ObjectType> browseTypes;

    std::string ProgramKey() const { return key.Path(); }
    std::string MacrosKey() const { return key.Path() + "Macros\\"; }
    std::string RunKey() const { return key.Path() + "Run"; }

    // Values to store before the window loads them.
    void StoreInt(const std::string& name, int32_t value) {
        reg::Key k;
        ASSERT_TRUE(reg::Key::Open(ProgramKey(), true, k));
        ASSERT_EQ(k.WriteInt(name, value), reg::Status::Ok);
    }
    void StoreString(const std::string& name, const std::string& value) {
        reg::Key k;
        ASSERT_TRUE(reg::Key::Open(ProgramKey(), true, k));
        ASSERT_EQ(k.WriteString(name, value), reg::Status::Ok);
    }
    std::optional<int32_t> StoredInt(const std::string& name) const {
        reg::Key k;
        int32_t value = 0;
        if (!reg::Key::Open(ProgramKey(), false, k) || k.ReadInt(name, value) != reg::Status::Ok) {
            return std::nullopt;
        }
        return value;
    }
    std::optional<std::string> StoredString(const std::string& name) const {
        reg::Key k;
        std::string value;
        if (!reg::Key::Open(ProgramKey(), false, k) || k.ReadString(name, value) != reg::Status::Ok) {
            return std::nullopt;
        }
        return value;
    }

    // Makes the program's state and the window (created, not shown).
    void Make() {
        macroTable = std::make_unique<macros::MacroTable>(folder.Join("Bat") + "\\");
        engine::EngineServices services;
        services.texts = [this] { return language.Table(); };
        services.display = display.Sink();
        services.logFolder = folder.Join("Log") + "\\";
        services.runMacro = [](int, const launch::Environment&) {};
        services.sinceStart = [this] { return std::chrono::milliseconds(sinceStart.load()); };
        engine = std::make_unique<engine::Engine>(std::move(services));
        settings::StoreKeys keys;
        keys.program = ProgramKey();
        keys.macros = MacrosKey();
        keys.run = RunKey();
        keys.startupApproved = key.Path() + "StartupApproved";
        state = std::make_unique<settings::ProgramState>(*engine, language, *macroTable,
                                                         folder.Join("Orvanter.exe"), keys);
        window = std::make_unique<TfmMain>();
        MainWindowServices ui;
        ui.engine = engine.get();
        ui.state = state.get();
        ui.language = &language;
        ui.macros = macroTable.get();
        ui.pictures = &SharedPictures();
        ui.hints = &SharedHints();
        ui.display = &display;
        ui.programKey = ProgramKey();
        ui.programFolder = folder.Path() + "\\";
        ui.shellOpen = [this](HWND, const std::string& target, int show) {
            shellCalls.push_back({target, show});
        };
        ui.showMessage = [this](const std::string& text) { messages.push_back(text); };
        ui.showBalloon = [this](const std::string& title, const std::string& text) {
            balloons.push_back(title + "|" + text);
        };
        ui.browse = [this](HWND, ObjectType type) {
            browseTypes.push_back(type);
            std::optional<BrowseChoice> answer;
            if (!browseAnswers.empty()) {
                answer = browseAnswers.front();
                browseAnswers.pop_front();
            }
            return answer;
        };
        ui.cursorPosition = [this] { return cursor; };
        ui.now = [this] { return now; };
        ASSERT_TRUE(window->Create(ui));
        state->CreateSplashWindow();
        state->CreateMacroEditor();
    }

    // Makes everything and runs the show step, as the program does at start, with the window left
    // unmapped: under Wine without a window manager every map and unmap of a top-level window waits
    // about a second for the X server, and most tests need no visible window.
    void Start() {
        Make();
        window->FormShow();
        Pump();
        Settle();
    }
    // Waits until the engine has carried out everything the window asked of it (the looks at the items,
    // the search-text checks) and the window has shown the answers.
    void Settle() {
        EXPECT_TRUE(orv::test::WaitFor([this] { return engine->PendingRequests() == 0; }));
        Pump();
    }
    // The same with the window shown and active, for the tests of the cursor and of the tray.
    void StartShown() {
        Make();
        window->ShowMain();
        Pump();
        Settle();
    }

    void TearDown() override {
        if (window) {
            window.reset();
            Pump();
        }
    }

    // The screen position of a point of the window's client area.
    POINT At(int x, int y) const {
        RECT box{};
        ::GetWindowRect(window->Handle(), &box);
        return POINT{box.left + x, box.top + y};
    }
    // The system's clock as the window reads it; tests move it.
    engine::ControlPause::Clock::time_point now = engine::ControlPause::Clock::now();
    void Tick() {
        window->Timer_WorkTimer();
        Pump();
    }
    // A tick with the window active, as after the splash: the first such tick does the start-up steps.
    void TickActive() {
        ::SetForegroundWindow(window->Handle());
        Pump();
        ASSERT_EQ(::GetActiveWindow(), window->Handle());
        Tick();
    }
};

}  // namespace orv::ui::test
