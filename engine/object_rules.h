// The rules of an object's definition, as its panel edits it: folding a stored type or parameter into
// range, stepping through them, which path a type keeps and when its item is there, and what an item
// chosen in the browse dialog does to the object. The engine applies them under its lock (engine.h);
// the functions here only compute.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/objects.h"

namespace orv::engine {

// One step through the types or parameters, as the spin buttons take it.
enum class Step : int32_t { Previous = -1, Next = 1 };

// A type above Application becomes File, one below File becomes Application.
ObjectType FoldType(ObjectType type);
// A parameter past either end of the range of `foldedType` wraps to the other end; an application has
// Activity only.
ControlParam FoldParam(ObjectType foldedType, ControlParam param);
// The type (folded first) one step on, wrapping.
ObjectType StepType(ObjectType type, Step step);
// The parameter one step on within the range of `foldedType`, wrapping.
ControlParam StepParam(ObjectType foldedType, ControlParam param, Step step);

// The search text belongs to a file object counting it.
bool UsesSearchText(ObjectType foldedType, ControlParam param);

// The path kept for a (folded) type: Path_File, Path_Dir or Path_Prog.
const std::string& KeptPath(const ObjectSettings& settings, ObjectType foldedType);

// What a look for the item a type watches came to.
enum class Presence {
    Present,      // the item is there
    Absent,       // the system answered: it is not (or no path, or an application path without ".exe")
    Unreachable,  // the volume or server did not answer (or the look was held too long)
    Failed,       // something is there but cannot be examined
};
inline bool Answered(Presence presence) {
    return presence == Presence::Present || presence == Presence::Absent;
}

// Whether the item a type watches is at `path`: a file (not a directory) for a file; a directory for a
// directory; a file whose full path contains ".exe" (case-sensitive) for an application. Looks at the
// file system only when the path could name such an item. `resuming`: the machine woke less than a
// minute ago, and nothing found on a volume that comes back late (ComesBackLate) is Unreachable.
Presence ItemPresence(ObjectType foldedType, std::string_view path, bool resuming = false);
bool ContainsExe(std::string_view path);
// The last part of a path (after the last backslash or slash).
std::string FileNameOf(std::string_view path);

// The item the browse dialog returned: its full path and its name as the shell shows it.
struct BrowseChoice {
    std::string path;
    std::string displayName;
};

// What a confirmed browse does to object `number` of (folded) type `type`. `present` says whether
// ItemPresence found the chosen path. An accepted item becomes the type's path and name and, for a file or a
// directory, its availability baseline says present; a refused one (a directory or missing item for a file
// object, anything but a directory for a directory object, anything but an existing ".exe" file for an
// application object) clears the type's path (and, for an application, its name) and, for a file or
// directory, sets the availability baseline to absent. An accepted application is named by its
// executable's file name, the process name the application check looks for. Object 1 also resets its
// directory and application baselines. Returns whether the item was accepted.
bool ApplyBrowse(int number, ObjectType type, const BrowseChoice& choice, bool present,
                 ObjectSettings& settings, Baseline& baseline);

}  // namespace orv::engine
