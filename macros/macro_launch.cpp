#include "macros/macro_launch.h"

#include "lang/constants.h"
#include "platform/files.h"
#include "platform/launch.h"
#include "platform/text.h"

namespace orv::macros {

Launcher SystemLauncher() {
    return Launcher{
        [](const std::string& commandLine, const launch::Environment& environment) {
            return launch::WinExecCommand(commandLine, environment);
        },
        [](const std::string& file, const launch::Environment& environment) {
            return launch::ShellExecuteFile(file, environment);
        },
        [](const std::string& file, const launch::Environment& environment) {
            return launch::CreateProcessFile(file, environment);
        },
        [](const std::string& path) { return WinExecPath(path); },
    };
}

std::optional<std::string> WinExecPath(const std::string& path) {
    std::string ansi;
    if (text::Utf8ToAnsiExact(path, ansi)) {
        return path;
    }
    std::string shortPath;
    if (fs::ShortPath(path, shortPath) && text::Utf8ToAnsiExact(shortPath, ansi)) {
        return shortPath;
    }
    return std::nullopt;
}

bool IsBareFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) {
            return false;
        }
        switch (c) {
            case '\\':
            case '/':
            case ':':
            case '*':
            case '?':
            case '"':
            case '<':
            case '>':
            case '|':
                return false;
            default:
                break;
        }
    }
    return true;
}

bool IsStartableBatFile(std::string_view batFile) {
    return IsBareFileName(batFile) && batFile != lang::kNotSelected && batFile != lang::kFileNotFound;
}

std::string WinExecCommandLine(std::string_view path) {
    std::string commandLine;
    commandLine.reserve(path.size() + 2);
    commandLine += '"';
    commandLine += path;
    commandLine += '"';
    return commandLine;
}

void StartBatFile(const Launcher& launcher, std::string_view batFolder, std::string_view batFile,
                  CallMethod method, const launch::Environment& environment) noexcept {
    if (!IsStartableBatFile(batFile)) {
        return;
    }
    // A launch never reports anything: an allocation failure or a missing launcher function ends it
    // as quietly as a refused start.
    try {
        std::string path;
        path.reserve(batFolder.size() + batFile.size());
        path += batFolder;
        path += batFile;
        switch (method) {
            case kMethodWinExec: {
                const std::optional<std::string> usable =
                    launcher.winExecPath ? launcher.winExecPath(path) : std::optional<std::string>(path);
                if (usable && launcher.winExec) {
                    launcher.winExec(WinExecCommandLine(*usable), environment);
                }
                break;
            }
            case kMethodShellExecute:
                if (launcher.shellExecute) {
                    launcher.shellExecute(path, environment);
                }
                break;
            case kMethodCreateProcess:
                if (launcher.createProcess) {
                    launcher.createProcess(path, environment);
                }
                break;
            default:
                break;
        }
    } catch (...) {
    }
}

}  // namespace orv::macros
