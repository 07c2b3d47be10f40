// Decisions of an object panel that need no window: which texts a row shows for its object's type
// and parameter, whether the watched item is present, which of the row's controls are visible, and
// what choosing an item in the browse dialog does to the object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/objects.h"
#include "lang/texts.h"

namespace orv::ui {

// Type field, parameter field and the presence texts of a (folded) type.
lang::TextId TypeText(int32_t type);
lang::TextId ParamText(int32_t type, int32_t param);
lang::TextId PresentText(int32_t type);
lang::TextId AbsentText(int32_t type);

// The path kept for a type: Path_File, Path_Dir or Path_Prog.
const std::string& KeptPath(const engine::ObjectSettings& settings, int32_t type);

// Whether the item a type watches is at `path`: a file (not a directory) for the file type; a
// directory for the directory type; a file whose full path contains ".exe" (case-sensitive) for the
// application type.
bool ItemPresent(int32_t type, std::string_view path);
bool ContainsExe(std::string_view path);
// The last part of a path (after the last backslash or slash).
std::string FileNameOf(std::string_view path);

// The display invariant: a disabled row shows only its enable box; an enabled row shows everything
// except the search field and its indicator, which belong to a file object with parameter 3.
struct RowVisibility {
    bool fields = false;  // type, path, parameter and action fields, their buttons and indicators
    bool search = false;  // the search field and its indicator
    friend bool operator==(RowVisibility, RowVisibility) = default;
};
RowVisibility VisibleControls(bool razr, int32_t type, int32_t param);

// The item the browse dialog returned: its full path and its name as the shell shows it.
struct BrowseChoice {
    std::string path;
    std::string displayName;
};

// What a confirmed browse does to object `number` of (folded) type `type`. `present` is ItemPresent
// for the chosen path. An accepted item becomes the type's path and name and, for a file or a
// directory, its availability baseline says present; a refused one (a directory or missing item for a
// file object, anything but a directory for a directory object, anything but an existing ".exe" file
// for an application object) clears the type's path (and, for an application, its name) and, for a
// file or directory, sets the availability baseline to absent. An accepted application is named by its
// executable's file name, the process name the application check looks for. Object 1 also resets its
// directory and application baselines. Returns whether the item was accepted (the indicator is lit).
bool ApplyBrowse(int number, int32_t type, const BrowseChoice& choice, bool present,
                 engine::ObjectSettings& settings, engine::Baseline& baseline);

}  // namespace orv::ui
