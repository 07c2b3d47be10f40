// The option toggles of the settings area and the Windows start-up entry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "settings/store.h"

namespace orv::settings {

// The start-up entry's data: the executable's full path in double quotes, so that a path with blanks
// ("C:\Program Files\...") cannot be taken by Windows for a shorter program name plus arguments.
std::string AutorunCommand(const std::string& executablePath);

// Writes (on) or deletes (off) the start-up entry named after the executable's title in the Run key.
// The key is opened, never created. Returns the names that could not be written: the entry's name when
// switching on fails (the key cannot be opened or the value not written) or when an existing entry
// cannot be deleted; switching off without a Run key, or without an entry, does nothing.
std::vector<std::string> SetAutorunEntry(bool on, const std::string& executablePath,
                                         std::string_view runKeyPath = reg::kRunKey);

// The toggles flip their option; none writes the program's own key (options are saved at exit). The
// autorun toggle also writes or deletes the start-up entry and returns what could not be written; the
// option keeps its new state either way.
void ToggleHintShow(Options& options);
void ToggleMinFormShow(Options& options);
void ToggleLogOK(Options& options);
std::vector<std::string> ToggleAutoRun(Options& options, const std::string& executablePath,
                                       std::string_view runKeyPath = reg::kRunKey);

}  // namespace orv::settings
