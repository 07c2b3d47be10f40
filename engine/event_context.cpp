#include "engine/event_context.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "engine/objects.h"

namespace orv::engine {

EventContext ContextOfCheck(const ObjectSettings& settings) {
    EventContext context;
    context.type = settings.Type;
    context.param = settings.Param;
    switch (settings.Type) {
        case ObjectType::Directory:
            context.path = settings.Path_Dir;
            context.name = settings.Name_Dir;
            break;
        case ObjectType::Application:
            context.path = settings.Path_Prog;
            context.name = settings.Name_Prog;
            break;
        default:
            context.path = settings.Path_File;
            context.name = settings.Name_File;
            break;
    }
    return context;
}

std::string_view TypeWord(ObjectType type) {
    switch (type) {
        case ObjectType::File:
            return "file";
        case ObjectType::Directory:
            return "directory";
        case ObjectType::Application:
            return "application";
        default:
            return {};
    }
}

std::string_view ParamWord(ObjectType type, ControlParam param) {
    static constexpr std::string_view kFile[] = {"presence", "size", "date", "count"};
    const auto index = static_cast<int32_t>(param);
    switch (type) {
        case ObjectType::File:
            return index >= 0 && index <= 3 ? kFile[index] : std::string_view();
        case ObjectType::Directory:
            return index >= 0 && index <= 2 ? kFile[index] : std::string_view();
        case ObjectType::Application:
            return param == ControlParam::Activity ? std::string_view("running") : std::string_view();
        default:
            return {};
    }
}

namespace {

// `value` with at least `width` digits, zeros in front (after the sign of a negative one), as "%0*d"
// writes it; without printf, which would bring its whole family into the program.
void AppendPadded(std::string& out, int value, int width) {
    char digits[16];
    const char* end =
        std::to_chars(digits, digits + sizeof digits, std::llabs(static_cast<long long>(value))).ptr;
    const auto length = static_cast<int>(end - digits);
    if (value < 0) {
        out += '-';
        --width;
    }
    out.append(static_cast<size_t>(std::max(0, width - length)), '0');
    out.append(digits, static_cast<size_t>(length));
}

}  // namespace

std::string IsoTime(const clock::LocalTime& time) {
    std::string text;
    text.reserve(19);
    AppendPadded(text, time.year, 4);
    text += '-';
    AppendPadded(text, time.month, 2);
    text += '-';
    AppendPadded(text, time.day, 2);
    text += 'T';
    AppendPadded(text, time.hour, 2);
    text += ':';
    AppendPadded(text, time.minute, 2);
    text += ':';
    AppendPadded(text, time.second, 2);
    return text;
}

launch::Environment EventVariables(int number, const EventContext& context, std::string_view logPath) {
    return {
        {std::string(kObjectVariable), std::to_string(number)},
        {std::string(kTypeVariable), std::string(TypeWord(context.type))},
        {std::string(kParamVariable), std::string(ParamWord(context.type, context.param))},
        {std::string(kPathVariable), context.path},
        {std::string(kNameVariable), context.name},
        {std::string(kEventVariable), context.event},
        {std::string(kOutcomeVariable), context.outcome},
        {std::string(kTimeVariable), IsoTime(context.time)},
        {std::string(kLogVariable), std::string(logPath)},
    };
}

std::vector<std::string> EventVariableNames() {
    std::vector<std::string> names;
    for (launch::Variable& variable : EventVariables(0, EventContext{}, {})) {
        names.push_back(std::move(variable.name));
    }
    return names;
}

launch::Environment RunButtonVariables(int number) {
    launch::Environment variables = EventVariables(number, EventContext{}, {});
    for (size_t i = 1; i < variables.size(); ++i) {
        variables[i].value.clear();
    }
    return variables;
}

}  // namespace orv::engine
