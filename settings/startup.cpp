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
    engine_.SetLogKeepDays(options_.LogKeepDays);
    engine_.SetWaitFinished(options_.WaitFinished);
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

std::string ProgramState::Exit() {
    if (saved_) {
        return {};
    }
    saved_ = true;
    // No check may change a baseline after it has been saved. A typed text whose check could not finish
    // in time is not kept: the text saved is the last one whose check did, with the count that belongs
    // to it.
    engine_.Shutdown();

    // Only what was loaded is saved: saving for a window that was never created would write defaults
    // over the stored values. A key that cannot be opened is reported once, not value by value.
    std::vector<std::string> keyMessages;
    std::vector<std::string> failedValues;
    const auto collect = [&](const std::string& keyPath, bool keyOpened, std::vector<std::string> failed) {
        if (!keyOpened) {
            keyMessages.push_back(KeyFailureMessage(keyPath));
            return;
        }
        failedValues.insert(failedValues.end(), failed.begin(), failed.end());
    };
    if (editorCreated_) {
        bool opened = true;
        std::vector<std::string> failed = macros_.Save(keys_.macros, &opened);
        collect(keys_.macros, opened, std::move(failed));
    }
    if (splashCreated_) {
        language_.Save(keys_.program);
    }
    if (mainCreated_) {
        options_.LogOK = engine_.LogOK();
        options_.LogKeepDays = engine_.LogKeepDays();
        options_.WaitFinished = engine_.WaitFinished();
        engine::ObjectArray objects = engine_.Objects();
        if (objectOneKeptText_) {
            objects[0].settings.String = *objectOneKeptText_;
        }
        bool opened = true;
        std::vector<std::string> failed = store_.SaveSettings(objects, options_, &opened);
        collect(keys_.program, opened, std::move(failed));
    }
    keyMessages.push_back(WriteFailureMessage(failedValues));
    return JoinMessages(keyMessages);
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

void ProgramState::Cb_WaitFinishedClick() {
    engine_.SetWaitFinished(!engine_.WaitFinished());
    options_.WaitFinished = engine_.WaitFinished();
}

void ProgramState::StepLogKeepDays(int step) {
    engine_.SetLogKeepDays(engine::StepLogKeepDays(engine_.LogKeepDays(), step));
    options_.LogKeepDays = engine_.LogKeepDays();
}

bool ProgramState::AutoRunInEffect() const {
    return settings::AutoRunInEffect(options_, executablePath_, keys_.startupApproved);
}

std::string ProgramState::Cb_AutoRunClick() {
    return WriteFailureMessage(ToggleAutoRun(options_, executablePath_, keys_.run, keys_.startupApproved));
}

void ProgramState::SearchTextChanged(int number, const std::string& text) {
    if (number == 1) {
        objectOneKeptText_.reset();
    }
    engine_.SearchTextChanged(number, text);
}

bool ProgramState::Sb_ResetClick() {
    const bool wasRunning = engine_.ControlRunning();
    if (wasRunning) {
        engine_.Sb_StartClick();
    }
    // What object 1's field shows: the text typed last, also when its check is still waiting.
    if (!objectOneKeptText_) {
        objectOneKeptText_ = engine_.SearchText(1);
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
