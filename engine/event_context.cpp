#include "engine/event_context.h"

#include <cstdio>

#include "engine/objects.h"

namespace orv::engine {

EventContext ContextOfCheck(const ObjectSettings& settings) {
    EventContext context;
    context.type = settings.Type;
    context.param = settings.Param;
    switch (settings.Type) {
        case static_cast<int32_t>(ObjectType::Directory):
            context.path = settings.Path_Dir;
            context.name = settings.Name_Dir;
            break;
        case static_cast<int32_t>(ObjectType::Application):
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

std::string_view TypeWord(int32_t type) {
    static constexpr std::string_view kWords[] = {"file", "directory", "application"};
    return type >= 0 && type <= 2 ? kWords[type] : std::string_view();
}

std::string_view ParamWord(int32_t type, int32_t param) {
    static constexpr std::string_view kFile[] = {"presence", "size", "date", "count"};
    static constexpr std::string_view kDirectory[] = {"presence", "size", "date"};
    switch (type) {
        case static_cast<int32_t>(ObjectType::File):
            return param >= 0 && param <= 3 ? kFile[param] : std::string_view();
        case static_cast<int32_t>(ObjectType::Directory):
            return param >= 0 && param <= 2 ? kDirectory[param] : std::string_view();
        case static_cast<int32_t>(ObjectType::Application):
            return param == 0 ? std::string_view("running") : std::string_view();
        default:
            return {};
    }
}

std::string IsoTime(const clock::LocalTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
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

launch::Environment RunButtonVariables(int number) {
    launch::Environment variables = EventVariables(number, EventContext{}, {});
    for (size_t i = 1; i < variables.size(); ++i) {
        variables[i].value.clear();
    }
    return variables;
}

}  // namespace orv::engine
