#include "settings/options.h"

#include "platform/paths.h"

namespace orv::settings {

std::string AutorunCommand(const std::string& executablePath) {
    return '"' + executablePath + '"';
}

std::vector<std::string> SetAutorunEntry(bool on, const std::string& executablePath,
                                         std::string_view runKeyPath) {
    const std::string name = paths::ApplicationTitle(executablePath);
    reg::Key key;
    if (!reg::Key::Open(runKeyPath, false, key)) {
        if (on) {
            return {name};
        }
        return {};
    }
    const reg::Status status =
        on ? key.WriteString(name, AutorunCommand(executablePath)) : key.DeleteValue(name);
    if (status != reg::Status::Ok) {
        return {name};
    }
    return {};
}

void ToggleHintShow(Options& options) {
    options.HintShow = !options.HintShow;
}

void ToggleMinFormShow(Options& options) {
    options.MinFormShow = !options.MinFormShow;
}

void ToggleLogOK(Options& options) {
    options.LogOK = !options.LogOK;
}

std::vector<std::string> ToggleAutoRun(Options& options, const std::string& executablePath,
                                       std::string_view runKeyPath) {
    options.AutoRun = !options.AutoRun;
    return SetAutorunEntry(options.AutoRun, executablePath, runKeyPath);
}

}  // namespace orv::settings
