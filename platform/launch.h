// The three ways a macro starts its batch file. Each starts the program once and never waits for it;
// the result only says whether the system accepted the start (the program itself ignores it).
#pragma once

#include <string>
#include <vector>

namespace orv::launch {

// A variable the started program finds in its environment, over what it inherits from this process.
// An empty value is passed as an empty variable, so that nothing of the same name leaks in.
struct Variable {
    std::string name;
    std::string value;
    friend bool operator==(const Variable&, const Variable&) = default;
};
using Environment = std::vector<Variable>;

// Every start goes through one launch lock: the variables are put into this process's environment,
// the program is started (it has its own copy of the environment by the time the call returns) and the
// previous values are put back, so two starts at the same moment never see each other's values. A
// value the system refuses (longer than 32766 characters) removes its name for that start, so that
// the started program never finds an inherited value in its place.

// WinExec(commandLine, SW_SHOW). The command line is converted to the ANSI code page.
bool WinExecCommand(const std::string& commandLine, const Environment& environment = {});
// ShellExecute(no owner, default verb, file, no parameters, no directory, SW_SHOW), made synchronous so
// that the program has started before the environment is put back.
bool ShellExecuteFile(const std::string& file, const Environment& environment = {});
// CreateProcess(application = file, no command line, no security attributes, no inherited handles,
// no flags, inherited environment and directory, zeroed STARTUPINFO with its size); both returned
// handles are closed at once.
bool CreateProcessFile(const std::string& file, const Environment& environment = {});

// Windows only: opens a document or web address with the shell's default action (no verb, no
// parameters, no directory), `owner` (an HWND) as the owner of the system's messages. Goes through the
// launch lock with the variables named in `withheld` removed, so that a viewer or browser inherits
// none of them, neither the program's own nor those of a macro being started at that moment. Blocks
// until the shell has started it: call it off the window thread.
bool OpenDocument(void* owner, const std::string& target, int showCommand,
                  const std::vector<std::string>& withheld);

}  // namespace orv::launch
