// The event log: one small text file per written log step, in the Log folder beside the program.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/objects.h"
#include "platform/clock.h"

namespace orv::engine {

// What the log step reads of one object, copied under the engine lock.
struct LogObject {
    bool Razr = true;
    bool ActionPending = false;
    std::string EventText;
};
using LogSnapshot = std::array<LogObject, kObjectCount>;  // index 0 is object 1

// The event texts to write, in object order; std::nullopt when nothing is to be written. With `logOK`
// only the objects whose condition was fulfilled are written (nothing when there is none); without it
// all eight are written, checked or not, as long as at least one object is enabled.
std::optional<std::vector<std::string>> SelectLogTexts(const LogSnapshot& objects, bool logOK);

struct LogEnvironment {
    std::string folder;                     // ends in the separator; created (one level) when missing
    clock::Formats formats;                 // only the long time format is used
    clock::Names names;                     // for a day-period designator in that format
    std::function<clock::LocalTime()> now;  // empty: clock::Now
};

// The file name the log uses for a moment: the long time text with every ':' turned into '.', then
// ".log".
std::string LogFileName(const clock::LocalTime& time, const LogEnvironment& environment);

// Writes one log file for the snapshot if anything is selected: a header line and one line per
// selected text, each starting with the time it was written, Windows-1251 with CR LF after every line.
// The file appears whole or not at all, and never replaces an older one: when the time-named file
// exists, " (2)", " (3)", ... go before ".log". Returns the file's path, or std::nullopt when nothing
// was written (nothing selected, or any failure, which the scan cycle ignores).
std::optional<std::string> WriteEventLogFile(const LogSnapshot& objects, bool logOK,
                                             const LogEnvironment& environment);

}  // namespace orv::engine
