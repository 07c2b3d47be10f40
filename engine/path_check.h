// The one frame of the checks that watch a path, a file or a directory. The two differ only in data:
// which fields of the object they use, the texts of their outcomes and how an entry counts as present;
// the frame runs availability, size and date for both.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/check_report.h"
#include "engine/checks.h"
#include "engine/objects.h"
#include "lang/texts.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace orv::engine {

// What one look at the path learnt.
struct PathState {
    bool found = false;   // an entry of any kind is at the path
    bool exists = false;  // an entry of the watched kind that the program can date, if it must
    uint64_t size = 0;    // from the entry's attributes
    std::optional<clock::LocalTime> time;  // the timestamp the date check compares, when it converts
};

// The outcomes of a size measured against the decimal size baseline: grown or shrunk by an amount in
// bytes (which fulfils and becomes the new baseline), or unchanged.
struct SizeTexts {
    lang::TextId title, increased, decreased, unchanged;
};

// The outcomes of a timestamp's digit string against the digits kept: any difference fulfils.
struct DateTexts {
    lang::TextId title, changed, unchanged;
};

// The total size of the item at `path`, the answer says whether there is one.
using SizeMeasure = fs::Answer (*)(std::string_view path, const PathState& state, uint64_t& bytes);
// The check of a parameter beyond availability, size and date.
using PathMeasure = std::optional<CheckResult> (*)(int number, const ControlObject& object,
                                                   const CheckContext& context, const PathState& state);

// What tells one kind of watched path from the other.
struct PathKind {
    ObjectType type;
    std::string ObjectSettings::*path;
    std::string ObjectSettings::*name;
    fs::EntryKind entry;                // the kind of entry that counts as present
    fs::FileTime fs::EntryInfo::*time;  // the timestamp of the date check
    // The time is reduced to the DOS resolution, and an entry whose time has no DOS form counts as
    // missing. Otherwise the time is kept to the millisecond and one that cannot be converted fails
    // only the date check.
    bool dosTime;
    lang::TextId missing;  // the outcome of size and date while the item is missing
    PresenceTexts presence;
    bool Baseline::*seen;
    SizeTexts size;
    std::string Baseline::*sizeBaseline;
    DateTexts date;
    std::string Baseline::*dateBaseline;
    SizeMeasure measureSize;
    PathMeasure extra;  // the parameter after the date, or null
};

// The two kinds (file_check.cpp, directory_check.cpp).
extern const PathKind kFileKind;
extern const PathKind kDirectoryKind;

// One look at the item that `kind` watches at `path`. Known with `state` filled in (nothing found while
// no path has been chosen); otherwise nothing was learnt and `state` is untouched.
fs::Answer LookAtItem(const PathKind& kind, std::string_view path, PathState& state);

// The check of the object's parameter: a parameter outside the kind's range checks nothing, a look at
// the path that came to no answer says so, and otherwise the parameter measures.
std::optional<CheckResult> CheckPathObject(int number, const ControlObject& object,
                                           const CheckContext& context, const PathKind& kind);

}  // namespace orv::engine
