// The eight control objects: their settings, baselines and run-time fields, and what a check reports.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/event_context.h"
#include "engine/object_kind.h"
#include "lang/constants.h"
#include "platform/colour.h"

namespace orv::engine {

using lang::kObjectCount;

// What the user set for one object. Every type keeps its own path and name.
struct ObjectSettings {
    bool Razr = true;  // enabled
    ObjectType Type = ObjectType::File;
    ControlParam Param = ControlParam::Availability;
    std::string Path_File, Path_Dir, Path_Prog;
    std::string Name_File, Name_Dir, Name_Prog;
    std::string String;  // the search text
    int32_t Action = 0;  // kept and stored; object N always runs macro N
    friend bool operator==(const ObjectSettings&, const ObjectSettings&) = default;
};

// The last observation of every property, kept across runs.
struct Baseline {
    bool File_OK_Old = false;
    std::string Size_File_Old = "0";  // decimal, read as a 64-bit signed integer
    int32_t Povtor_File_Old = 0;
    std::string File_Data_Old;  // digits of the modification timestamp
    bool Dir_OK_Old = false;
    std::string Size_Dir_Old = "0";
    std::string Dir_Data_Old;
    bool Prog_Active_Old = false;
    friend bool operator==(const Baseline&, const Baseline&) = default;
};

// The indicator colours and hints one check hands to the window. The string indicator's part is
// set only by the search-text check.
struct IndicatorReport {
    Colour pathColour = kIdleColour;
    std::string pathHint;
    std::optional<Colour> stringColour;
    std::optional<std::string> stringHint;
    friend bool operator==(const IndicatorReport&, const IndicatorReport&) = default;
};

struct ControlObject {
    ObjectSettings settings;
    Baseline baseline;
    // Run-time fields, not stored.
    bool ActionPending = false;
    std::string EventText;
    int32_t LastStringCount = 0;
    // The circumstances of the last committed check, for the macro its event starts.
    EventContext eventContext;
    // Bumped by every change from outside the checks (edit, reset, load). A check commits its result
    // only when the generation it measured is still current, so a slow check never overwrites an
    // edit made while it was measuring.
    uint64_t generation = 0;
};

using ObjectArray = std::array<ControlObject, kObjectCount>;  // index 0 is object 1

// The result of one completed check, computed without the engine lock from a copy of the object.
// A check that could not measure returns no result at all (std::nullopt): nothing changes.
struct CheckResult {
    // False when the item could not be reached (its volume or server did not answer, or the
    // measurement was held too long): nothing was measured and only `report` applies; the baseline,
    // the event text and ActionPending stay as they were, so no event and no macro come of it.
    bool measured = true;
    Baseline baseline;       // the whole baseline after the check (only the checked property differs)
    std::string eventText;   // "Object N / heading : name / outcome"
    std::string outcome;     // the event text's last part
    bool fulfilled = false;  // sets ActionPending
    std::optional<int32_t> lastStringCount;  // set when the search text was counted
    // Another program has the file open for writing (looked at by the engine, only for a fulfilled file
    // check while changes are waited for).
    bool writerOpen = false;
    IndicatorReport report;
};

}  // namespace orv::engine
