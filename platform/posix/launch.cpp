// Starting a macro's file on POSIX systems: all three call methods run it with /bin/sh, detached.
#include <errno.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "platform/launch.h"

extern char** environ;

namespace orv::launch {
namespace {

// A short-lived shell puts the script in the background and ends at once; the script is then a child
// of init, which reaps it, so the program never waits for it and leaves no zombie behind.
bool StartDetached(const std::string& file) {
    if (file.empty()) {
        return false;
    }
    char shell[] = "/bin/sh";
    char name[] = "sh";
    char option[] = "-c";
    char script[] = "/bin/sh \"$1\" </dev/null &";
    std::string argument = file;
    char* argv[] = {name, option, script, name, argument.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, shell, nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
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

bool WinExecCommand(const std::string& commandLine) {
    return StartDetached(ProgramOfCommandLine(commandLine));
}

bool ShellExecuteFile(const std::string& file) {
    return StartDetached(file);
}

bool CreateProcessFile(const std::string& file) {
    return StartDetached(file);
}

}  // namespace orv::launch
