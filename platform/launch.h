// The three ways a macro starts its batch file. Each starts the program once and never waits for it;
// the result only says whether the system accepted the start (the program itself ignores it).
#pragma once

#include <string>

namespace orv::launch {

// WinExec(commandLine, SW_SHOW). The command line is converted to the ANSI code page.
bool WinExecCommand(const std::string& commandLine);
// ShellExecute(no owner, default verb, file, no parameters, no directory, SW_SHOW).
bool ShellExecuteFile(const std::string& file);
// CreateProcess(application = file, no command line, no security attributes, no inherited handles,
// no flags, inherited environment and directory, zeroed STARTUPINFO with its size); both returned
// handles are closed at once.
bool CreateProcessFile(const std::string& file);

}  // namespace orv::launch
