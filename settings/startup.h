// The order in which the program's state is loaded at start and saved at exit, and the settings
// area's actions (option toggles, reset) on that state. The windows call these from their creation,
// their destruction and their click handlers; the functions touch no window.
//
// Start: the main window's state (options, objects and baselines into the engine), then the splash
// window's (the interface language), then the macro editor's (the eight macros). Exit: the scan thread
// is stopped and joined first, then the windows' states are saved, the last created first: macros,
// language, settings.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "lang/language.h"
#include "macros/macro_table.h"
#include "platform/registry.h"
#include "settings/store.h"

namespace orv::settings {

// Where the program's values live. The program uses its own keys; tests pass scratch keys.
struct StoreKeys {
    std::string program = std::string(reg::kProgramKey);
    std::string macros = std::string(reg::kMacrosKey);
    std::string run = std::string(reg::kRunKey);
    std::string startupApproved = std::string(reg::kStartupApprovedRunKey);
};

class ProgramState {
  public:
    // `executablePath` names the start-up entry and is its data; the program passes
    // paths::ExecutablePath().
    ProgramState(engine::Engine& engine, lang::LanguageState& language, macros::MacroTable& macros,
                 std::string executablePath, StoreKeys keys = {});

    // --- Start, in this order ---

    // The main window is being created: options, objects and baselines are loaded (the objects into
    // the engine under its lock, the log option into the engine). Control is stopped and the scan step
    // is 0 in a new engine. Returns the text of the message listing the values of the wrong type, or
    // "" when there are none.
    std::string CreateMainWindow();
    // The splash window is being created: the interface language is read (errors are ignored).
    void CreateSplashWindow();
    // The macro editor is being created: the eight macros are read. Returns the message text as above.
    std::string CreateMacroEditor();

    // --- Exit ---

    // Stops and joins the scan thread, then saves the macros, the language and the settings, in that
    // order, each only when it was loaded above. Every search text saved is the engine's: the last one
    // typed, unless the engine dropped a change whose check could not finish (Engine::Shutdown); object
    // 1's is the one it had before a reset, until its field changes (Sb_ResetClick). Returns the text of the
    // message listing every value that could not be written ("" when all were). Runs once: a second
    // call (the window destroyed after a session end already saved) does nothing and returns "".
    std::string Exit();
    bool Saved() const { return saved_; }

    // --- The object panels ---

    // The search field of object N changed (typed, or set by the program): the engine takes the text.
    void SearchTextChanged(int number, const std::string& text);

    // --- The settings area ---

    const Options& CurrentOptions() const { return options_; }
    // What the autorun box shows: the option, unless Task Manager has disabled the entry.
    bool AutoRunInEffect() const;

    void Cb_HintShowClick();
    void Cb_MinFormShowClick();
    void Cb_LogOKClick();
    // The engine holds the option; the options saved at exit take it from there.
    void Cb_WaitFinishedClick();
    // The "Keep log files" field's arrows: the next (1) or previous (-1) limit, for the engine at once.
    void StepLogKeepDays(int step);
    int32_t LogKeepDays() const { return engine_.LogKeepDays(); }
    // Also writes or deletes the start-up entry at once; returns the message text when the entry
    // could not be written ("" otherwise). The option keeps its new state either way.
    std::string Cb_AutoRunClick();

    // Every object back to its first-run state. Control, when running, is stopped first (the engine's
    // half of the start button, which also sets the scan step to 0); returns whether it was running,
    // so that the window can show the button stopped. The options, the language and the macros stay.
    // The search fields keep showing their texts; object 1 keeps its text for the next run too, until
    // its field changes (the others save an empty text).
    bool Sb_ResetClick();

  private:
    engine::Engine& engine_;
    lang::LanguageState& language_;
    macros::MacroTable& macros_;
    std::string executablePath_;
    StoreKeys keys_;
    SettingsStore store_;
    Options options_;
    // Object 1's search text from before a reset, saved at exit in place of the engine's empty one while
    // its field has not changed since.
    std::optional<std::string> objectOneKeptText_;
    bool mainCreated_ = false;
    bool splashCreated_ = false;
    bool editorCreated_ = false;
    bool saved_ = false;
};

// Joins non-empty message texts with CR LF.
std::string JoinMessages(const std::vector<std::string>& texts);

}  // namespace orv::settings
