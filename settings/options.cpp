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

bool StartupEntryDisabled(const std::string& executablePath, std::string_view approvedKeyPath) {
    reg::Key key;
    std::string bytes;
    return reg::Key::Open(approvedKeyPath, false, key) &&
           key.ReadBinary(paths::ApplicationTitle(executablePath), bytes) == reg::Status::Ok &&
           !bytes.empty() && (static_cast<unsigned char>(bytes[0]) & 1) != 0;
}

std::vector<std::string> EnableStartupEntry(const std::string& executablePath,
                                            std::string_view approvedKeyPath) {
    if (!StartupEntryDisabled(executablePath, approvedKeyPath)) {
        return {};
    }
    static constexpr char kEnabled[12] = {2};
    const std::string name = paths::ApplicationTitle(executablePath);
    reg::Key key;
    if (!reg::Key::Open(approvedKeyPath, false, key) ||
        key.WriteBinary(name, std::string_view(kEnabled, sizeof kEnabled)) != reg::Status::Ok) {
        return {name};
    }
    return {};
}

bool AutoRunInEffect(const Options& options, const std::string& executablePath,
                     std::string_view approvedKeyPath) {
    return options.AutoRun && !StartupEntryDisabled(executablePath, approvedKeyPath);
}

std::vector<std::string> ToggleAutoRun(Options& options, const std::string& executablePath,
                                       std::string_view runKeyPath, std::string_view approvedKeyPath) {
    options.AutoRun = !AutoRunInEffect(options, executablePath, approvedKeyPath);
    std::vector<std::string> failed = SetAutorunEntry(options.AutoRun, executablePath, runKeyPath);
    if (options.AutoRun && failed.empty()) {
        failed = EnableStartupEntry(executablePath, approvedKeyPath);
    }
    return failed;
}

}  // namespace orv::settings
