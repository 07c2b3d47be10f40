// Starting a macro's batch file from the Bat folder by one of the three call methods.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/launch.h"

namespace orv::macros {

// How a macro starts its batch file. Stored and compared as these integers; any other value is kept
// as it is and starts nothing.
using CallMethod = int32_t;
inline constexpr CallMethod kMethodWinExec = 0;
inline constexpr CallMethod kMethodShellExecute = 1;
inline constexpr CallMethod kMethodCreateProcess = 2;

// The three system calls, replaceable so that tests can see what would be started without starting
// it. Each receives exactly what the system call gets, and the variables the started program finds in
// its environment, and returns whether the system accepted it (the macro code ignores the answer).
struct Launcher {
    std::function<bool(const std::string& commandLine, const launch::Environment&)> winExec;
    std::function<bool(const std::string& file, const launch::Environment&)> shellExecute;
    std::function<bool(const std::string& file, const launch::Environment&)> createProcess;
    // The form of a path that WinExec's ANSI command line can carry (WinExecPath); empty: the path
    // as it is.
    std::function<std::optional<std::string>(const std::string& path)> winExecPath;
};

// The platform's real calls (platform/launch.h).
Launcher SystemLauncher();

// WinExec takes its command line in the ANSI code page, where a character the code page lacks turns
// into '?' and nothing starts. The path itself when the code page holds all its characters, else its
// short (8.3) form when that one fits; std::nullopt when neither does.
std::optional<std::string> WinExecPath(const std::string& path);

// True for a plain file name that names an entry of the Bat folder itself: not empty, not "." or
// "..", and without a folder part, a drive, a wildcard, a quote or any other character that Windows
// does not allow in a file name. Anything else could reach outside the Bat folder or break out of the
// quoted command line, so it is never started.
bool IsBareFileName(std::string_view name);

// True when `batFile` may be started at all: a bare file name that is not one of the placeholders
// "Not Selected" and "File not found".
bool IsStartableBatFile(std::string_view batFile);

// The command line WinExec gets: the path in double quotes, so that a Bat folder below a folder with
// blanks in its name starts the batch file and not the first word of its path.
std::string WinExecCommandLine(std::string_view path);

// Starts `batFolder` + `batFile` by `method` with `environment` over the program's own and returns at
// once: nothing is waited for and every failure is swallowed. A file that is not startable or a method
// other than 0, 1 and 2 starts nothing.
void StartBatFile(const Launcher& launcher, std::string_view batFolder, std::string_view batFile,
                  CallMethod method, const launch::Environment& environment = {}) noexcept;

}  // namespace orv::macros
