// The running processes of the machine.
#pragma once

#include <functional>
#include <string_view>

namespace orv::proc {

// Calls `visit` with the executable file name of every running process (Tool Help's szExeFile on
// Windows; the name of /proc/PID/exe, else comm, on POSIX) until `visit` returns false. Returns false
// when the process list cannot be taken at all.
bool ForEachProcessName(const std::function<bool(std::string_view imageName)>& visit);

}  // namespace orv::proc
