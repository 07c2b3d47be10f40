// Where the program lives.
#pragma once

#include <string>

namespace orv::paths {

// Full path of the running executable, as the system reports it for the process.
std::string ExecutablePath();
// Its folder, ending in the platform's separator.
std::string ExecutableFolder();
// The executable's file name up to its first dot, every letter after the first in lower case
// ("Orvanter.exe" gives "Orvanter").
std::string ApplicationTitle(const std::string& executablePath);

}  // namespace orv::paths
