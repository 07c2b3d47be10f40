// What an object watches and which of its properties it controls: the two values that choose its check.
#pragma once

#include <cstdint>

namespace orv::engine {

// What an object watches. Stored as a 32-bit integer; a stored value out of range stays as it is until
// the object is normalised (object_rules.h).
enum class ObjectType : int32_t { File = 0, Directory = 1, Application = 2 };

// The property an object controls, an index within its type: a file 0 to 3, a directory 0 to 2, an
// application 0 only. Stored as a 32-bit integer, out of range until normalised like the type.
enum class ControlParam : int32_t {
    Availability = 0,  // a file or a directory
    Size = 1,          // a file or a directory
    Date = 2,          // a file's modification date, a directory's creation date
    String = 3,        // a file only: the count of the search text
    Activity = 0,      // an application only
};

}  // namespace orv::engine
