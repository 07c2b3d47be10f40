// What a macro started for an object's event learns about it: the circumstances of the check, kept with
// the object, and the variables they become in the started batch file's environment.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/object_kind.h"
#include "platform/clock.h"
#include "platform/launch.h"

namespace orv::engine {

struct ObjectSettings;

// The circumstances of an object's last completed check, taken from the settings it measured, so that a
// later edit does not change what its macro is told.
struct EventContext {
    ObjectType type = ObjectType::File;
    ControlParam param = ControlParam::Availability;
    std::string path;
    std::string name;
    std::string event;    // the event text as the log writes it
    std::string outcome;  // the event text's last part
    clock::LocalTime time;
    friend bool operator==(const EventContext&, const EventContext&) = default;
};

// The path and name that belong to the object's type.
EventContext ContextOfCheck(const ObjectSettings& settings);

inline constexpr std::string_view kObjectVariable = "ORVANTER_OBJECT";
inline constexpr std::string_view kTypeVariable = "ORVANTER_TYPE";
inline constexpr std::string_view kParamVariable = "ORVANTER_PARAM";
inline constexpr std::string_view kPathVariable = "ORVANTER_PATH";
inline constexpr std::string_view kNameVariable = "ORVANTER_NAME";
inline constexpr std::string_view kEventVariable = "ORVANTER_EVENT";
inline constexpr std::string_view kOutcomeVariable = "ORVANTER_OUTCOME";
inline constexpr std::string_view kTimeVariable = "ORVANTER_TIME";
inline constexpr std::string_view kLogVariable = "ORVANTER_LOG";

// The nine names, in the order EventVariables gives them: what no other child of the program may inherit.
std::vector<std::string> EventVariableNames();

// "file", "directory", "application"; "" for a type outside them.
std::string_view TypeWord(ObjectType type);
// "presence", "size", "date", "count" (file); "presence", "size", "date" (directory); "running"
// (application); "" for a parameter outside its type.
std::string_view ParamWord(ObjectType type, ControlParam param);
// YYYY-MM-DDTHH:MM:SS.
std::string IsoTime(const clock::LocalTime& time);

// All nine variables for macro `number` started by object `number`'s event; `logPath` is the log file
// written in this cycle ("" when none).
launch::Environment EventVariables(int number, const EventContext& context, std::string_view logPath);
// A start by the macro editor's Run button: the macro's number, every event variable empty (so that
// nothing of the same name reaches the batch file from elsewhere).
launch::Environment RunButtonVariables(int number);

}  // namespace orv::engine
