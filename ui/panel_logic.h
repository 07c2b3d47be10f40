// Decisions of an object panel that need no window: which texts a row shows for its object's type and
// parameter and which of the row's controls are visible. What an edit does to the object is the
// engine's (engine/object_rules.h).
#pragma once

#include "engine/object_rules.h"
#include "lang/texts.h"

namespace orv::ui {

using engine::BrowseChoice;
using engine::ControlParam;
using engine::ObjectType;

// Type field, parameter field and the presence texts of a (folded) type.
lang::TextId TypeText(ObjectType type);
lang::TextId ParamText(ObjectType type, ControlParam param);
lang::TextId PresentText(ObjectType type);
lang::TextId AbsentText(ObjectType type);

// The display invariant: a disabled row shows only its enable box; an enabled row shows everything
// except the search field and its indicator, which belong to a file object counting its search text.
struct RowVisibility {
    bool fields = false;  // type, path, parameter and action fields, their buttons and indicators
    bool search = false;  // the search field and its indicator
    friend bool operator==(RowVisibility, RowVisibility) = default;
};
RowVisibility VisibleControls(bool razr, ObjectType type, ControlParam param);

}  // namespace orv::ui
