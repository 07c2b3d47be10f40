// Starting a macro's file on POSIX systems: all three call methods run it with /bin/sh, detached.
#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <string_view>
#include <thread>
#include <vector>

#include "platform/launch.h"

extern char** environ;

namespace orv::launch {
namespace {

// This process's environment with the variables set over it. The child gets it as its own, so nothing
// of this process changes and two starts at the same moment cannot mix their values.
std::vector<std::string> ChildEnvironment(const Environment& environment) {
    std::vector<std::string> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const std::string_view name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const Variable& variable : environment) {
            replaced = replaced || name == variable.name;
        }
        if (!replaced) {
            entries.emplace_back(text);
        }
    }
    for (const Variable& variable : environment) {
        entries.push_back(variable.name + "=" + variable.value);
    }
    return entries;
}

// The script runs as a child of this process; a detached thread waits for it so that it leaves no
// zombie behind, while the caller never waits.
bool StartDetached(const std::string& file, const Environment& environment) {
    // Like the system calls on Windows, a missing file is refused rather than started.
    struct stat info;
    if (file.empty() || stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        return false;
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    char shell[] = "/bin/sh";
    char name[] = "sh";
    std::string argument = file;
    char* argv[] = {name, argument.data(), nullptr};
    std::vector<std::string> entries = ChildEnvironment(environment);
    std::vector<char*> childEnvironment;
    childEnvironment.reserve(entries.size() + 1);
    for (std::string& entry : entries) {
        childEnvironment.push_back(entry.data());
    }
    childEnvironment.push_back(nullptr);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, shell, &actions, nullptr, argv, childEnvironment.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        return false;
    }
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

// The program a command line names, found as Windows finds it: a quoted first part is the program;
// otherwise the line is cut at each blank in turn and the first part that names an existing file is
// taken (so an unquoted path with blanks still works), else the part up to the first blank.
std::string ProgramOfCommandLine(const std::string& commandLine) {
    size_t start = commandLine.find_first_not_of(" \t");
    if (start == std::string::npos) {
        return {};
    }
    if (commandLine[start] == '"') {
        ++start;
        const size_t end = commandLine.find('"', start);
        return commandLine.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }
    const auto isFile = [](const std::string& path) {
        struct stat info;
        return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    };
    const size_t firstBlank = commandLine.find_first_of(" \t", start);
    for (size_t end = firstBlank; end != std::string::npos; end = commandLine.find_first_of(" \t", end + 1)) {
        std::string candidate = commandLine.substr(start, end - start);
        if (isFile(candidate)) {
            return candidate;
        }
    }
    const size_t last = commandLine.find_last_not_of(" \t");
    std::string whole = commandLine.substr(start, last + 1 - start);
    if (isFile(whole)) {
        return whole;
    }
    return commandLine.substr(start,
                              firstBlank == std::string::npos ? std::string::npos : firstBlank - start);
}

}  // namespace

bool WinExecCommand(const std::string& commandLine, const Environment& environment) {
    return StartDetached(ProgramOfCommandLine(commandLine), environment);
}

bool ShellExecuteFile(const std::string& file, const Environment& environment) {
    return StartDetached(file, environment);
}

bool CreateProcessFile(const std::string& file, const Environment& environment) {
    return StartDetached(file, environment);
}

}  // namespace orv::launch
