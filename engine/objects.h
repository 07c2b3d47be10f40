// The eight control objects: their settings, baselines and run-time fields, and what a check reports.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace orv::engine {

inline constexpr int kObjectCount = 8;

enum class ObjectType : int32_t { File = 0, Directory = 1, Application = 2 };

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb kActiveColour{255, 0, 0};
inline constexpr Rgb kIdleColour{54, 106, 179};
inline constexpr Rgb kStartStoppedColour{0, 128, 192};

// What the user set for one object. Every type keeps its own path and name.
struct ObjectSettings {
    bool Razr = true;  // enabled
    int32_t Type = 0;  // an ObjectType; may be out of range until the panel folds it
    int32_t Param = 0;  // the controlled property within the type
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
    Rgb pathColour = kIdleColour;
    std::string pathHint;
    std::optional<Rgb> stringColour;
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
    // Bumped by every change from outside the checks (edit, reset, load). A check commits its result
    // only when the generation it measured is still current, so a slow check never overwrites an
    // edit made while it was measuring.
    uint64_t generation = 0;
};

// Out-of-range values folded as the object panels fold them: a type above 2 becomes 0 and below 0
// becomes 2; a parameter past either end of its type's range wraps to the other end (an application
// has only parameter 0).
inline int32_t FoldType(int32_t type) { return type > 2 ? 0 : (type < 0 ? 2 : type); }
inline int32_t FoldParam(int32_t foldedType, int32_t param) {
    const int32_t last = foldedType == 0 ? 3 : (foldedType == 1 ? 2 : 0);
    if (last == 0) {
        return 0;
    }
    return param > last ? 0 : (param < 0 ? last : param);
}

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
    bool fulfilled = false;  // sets ActionPending
    std::optional<int32_t> lastStringCount;  // set when the search text was counted
    IndicatorReport report;
};

}  // namespace orv::engine
