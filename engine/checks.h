// The three checks. Each measures without the engine lock, from a copy of the object, and returns the
// outcome for the engine to commit; std::nullopt when the measurement failed (nothing changes then).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/objects.h"
#include "lang/language.h"
#include "platform/clock.h"

namespace orv::engine {

// What a check needs besides the object: the texts of the current language and the system's date and
// time formats (tests pin both).
struct CheckContext {
    const lang::LanguageTable& texts;
    const clock::Formats& formats;
    const clock::Names& names;
    // The machine woke less than a minute ago: a "not found" answer about an item on a volume that
    // comes back late (ComesBackLate) is no answer yet.
    bool resuming = false;
};

// `number` is the object's number 1..8 (for the event text).
std::optional<CheckResult> CheckFile(int number, const ControlObject& object, const CheckContext& context);
std::optional<CheckResult> CheckDirectory(int number, const ControlObject& object,
                                          const CheckContext& context);
std::optional<CheckResult> CheckApplication(int number, const ControlObject& object,
                                            const CheckContext& context);

// The report of a check whose item cannot be reached right now (measured false): the path indicator
// idle, its hint the check's heading, the name and "cannot be reached right now" (for the search text
// the string indicator's hint too). nullopt for a type or parameter that has no check.
std::optional<CheckResult> UnreachableResult(int number, const ControlObject& object,
                                             const CheckContext& context);

// Total size of the files in a directory tree, sizes from the listing only; links to other places
// (junctions, symbolic links, mount points) are not descended into.
uint64_t DirectorySize(std::string_view path);

// True when a running process has exactly this executable file name (case-sensitive). nullopt when
// the process list cannot be taken.
std::optional<bool> IsProcessRunning(std::string_view imageName);

// Counts non-overlapping occurrences of `needle` in the file, streaming it in chunks. nullopt when
// the file cannot be opened or read.
std::optional<int64_t> CountOccurrences(std::string_view path, std::string_view needle);

// The digits '0'..'9' of every character of `text` but the last.
std::string DigitString(std::string_view text);

// Short date, a blank and long time; the time is left out when it is exactly 00:00:00.
std::string FormatTimestamp(const clock::LocalTime& t, const clock::Formats& formats,
                            const clock::Names& names);

}  // namespace orv::engine
