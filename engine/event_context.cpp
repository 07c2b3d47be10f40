#include "engine/event_context.h"

#include <cstdio>

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
