#include "settings/startup.h"

#include <utility>

#include "settings/options.h"

namespace orv::settings {

ProgramState::ProgramState(engine::Engine& engine, lang::LanguageState& language, macros::MacroTable& macros,
                           std::string executablePath, StoreKeys keys)
    : engine_(engine),
      language_(language),
      macros_(macros),
      executablePath_(std::move(executablePath)),
      keys_(std::move(keys)),
      store_(keys_.program) {}

std::string ProgramState::CreateMainWindow() {
    engine::ObjectArray objects = engine_.Objects();
    Options options;
    const LoadReport report = store_.LoadSettings(objects, options);
    options_ = options;
    engine_.LoadObjects(objects);
    engine_.SetLogOK(options_.LogOK);
    mainCreated_ = true;
    return InvalidTypeMessage(report.wrongType);
}

void ProgramState::CreateSplashWindow() {
    language_.Load(keys_.program);
    splashCreated_ = true;
}

std::string ProgramState::CreateMacroEditor() {
    editorCreated_ = true;
    return InvalidTypeMessage(macros_.Load(keys_.macros));
}

std::string ProgramState::Exit(std::string_view objectOneSearchText) {
    if (saved_) {
        return {};
    }
    saved_ = true;
    // No check may change a baseline after it has been saved.
    engine_.Shutdown();

    // Only what was loaded is saved: saving for a window that was never created would write defaults
    // over the stored values.
    std::vector<std::string> messages;
    if (editorCreated_) {
        messages.push_back(WriteFailureMessage(macros_.Save(keys_.macros)));
    }
    if (splashCreated_) {
        language_.Save(keys_.program);
    }
    if (mainCreated_) {
        options_.LogOK = engine_.LogOK();
        messages.push_back(
            WriteFailureMessage(store_.SaveSettings(engine_.Objects(), options_, objectOneSearchText)));
    }
    return JoinMessages(messages);
}

void ProgramState::Cb_HintShowClick() {
    ToggleHintShow(options_);
}

void ProgramState::Cb_MinFormShowClick() {
    ToggleMinFormShow(options_);
}

void ProgramState::Cb_LogOKClick() {
    options_.LogOK = engine_.LogOK();
    ToggleLogOK(options_);
    engine_.SetLogOK(options_.LogOK);
}

std::string ProgramState::Cb_AutoRunClick() {
    return WriteFailureMessage(ToggleAutoRun(options_, executablePath_, keys_.run));
}

bool ProgramState::Sb_ResetClick() {
    const bool wasRunning = engine_.ControlRunning();
    if (wasRunning) {
        engine_.Sb_StartClick();
    }
    engine_.ResetObjects();
    return wasRunning;
}

std::string JoinMessages(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) {
        if (text.empty()) {
            continue;
        }
        if (!joined.empty()) {
            joined += "\r\n";
        }
        joined += text;
    }
    return joined;
}

}  // namespace orv::settings
