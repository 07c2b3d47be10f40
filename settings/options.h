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

// Task Manager's Startup tab can disable the start-up entry without removing it: its value of the same
// name under the StartupApproved key then starts with an odd byte, and Windows does not start the
// program. True only for such a value (a missing key or value, or one of another type, disables
// nothing).
bool StartupEntryDisabled(const std::string& executablePath,
                          std::string_view approvedKeyPath = reg::kStartupApprovedRunKey);
// Writes the enabled form of that value (as Task Manager writes it: 02 and eleven zero bytes) when it
// says disabled; does nothing otherwise. Returns the entry's name when it could not be written.
std::vector<std::string> EnableStartupEntry(const std::string& executablePath,
                                            std::string_view approvedKeyPath = reg::kStartupApprovedRunKey);

// What the autorun box shows: whether Windows will start the program, as far as the program's own
// option and Task Manager's switch tell (the Run entry itself is not checked).
bool AutoRunInEffect(const Options& options, const std::string& executablePath,
                     std::string_view approvedKeyPath = reg::kStartupApprovedRunKey);

// The toggles flip their option; none writes the program's own key (options are saved at exit). The
// autorun toggle also writes or deletes the start-up entry and returns what could not be written; the
// option keeps its new state either way.
void ToggleHintShow(Options& options);
void ToggleMinFormShow(Options& options);
void ToggleLogOK(Options& options);
//
// The autorun toggle turns the option to the opposite of what the box shows: on when Windows would not
// start the program (also when Task Manager disabled the entry while the option was on), then after
// writing the entry it enables it again in Task Manager's list; off otherwise.
std::vector<std::string> ToggleAutoRun(Options& options, const std::string& executablePath,
                                       std::string_view runKeyPath = reg::kRunKey,
                                       std::string_view approvedKeyPath = reg::kStartupApprovedRunKey);

}  // namespace orv::settings
