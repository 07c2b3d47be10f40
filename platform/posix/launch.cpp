// Starting a macro's file on POSIX systems: all three call methods run it with /bin/sh, detached.
#include <errno.h>
#include <spawn.h>
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

}  // namespace

bool WinExecCommand(const std::string& commandLine) {
    return StartDetached(commandLine);
}

bool ShellExecuteFile(const std::string& file) {
    return StartDetached(file);
}

bool CreateProcessFile(const std::string& file) {
    return StartDetached(file);
}

}  // namespace orv::launch
