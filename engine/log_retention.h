// Keeping the log folder small: with a limit set, the log files older than the limit are deleted, only
// files named as the log names its own files, never another file or a folder.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/files.h"

namespace orv::engine {

// The limits the "Keep log files" field offers, in days; 0 keeps the files forever.
inline constexpr int32_t kLogKeepChoices[] = {0, 1, 7, 30, 365};
// A stored number that is not one of the choices keeps the files forever.
int32_t ValidLogKeepDays(int32_t days);
// The choice after (`step` 1) or before (-1) `days`, wrapping at both ends.
int32_t StepLogKeepDays(int32_t days, int step);

// True for a name the log step gives its files under the long time format `longTime`: the time text
// with every ':' as '.', then nothing or " (N)" (N from 2), then ".log".
bool IsLogFileName(std::string_view name, std::string_view longTime, const clock::Names& names);

// Deletes from `folder` (ending in the separator) the log files whose last write is more than `days`
// days before `now` (UTC). Files of other names, folders, and files that cannot be examined or deleted
// stay. Returns how many were deleted.
int DeleteOldLogFiles(const std::string& folder, int32_t days, fs::FileTime now, std::string_view longTime,
                      const clock::Names& names);

// When the scan thread cleans up: after a log write, with a limit set, at most once an hour.
class LogRetention {
  public:
    using Steady = std::chrono::steady_clock;

    // True when a clean-up is due now (and counts it as done).
    bool Due(int32_t days, Steady::time_point now);

  private:
    std::optional<Steady::time_point> lastRun_;
};

}  // namespace orv::engine
