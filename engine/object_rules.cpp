#include "engine/object_rules.h"

#include "engine/resume_watch.h"
#include "platform/files.h"

namespace orv::engine {
namespace {

constexpr int64_t kLastType = static_cast<int64_t>(ObjectType::Application);

int64_t LastParam(ObjectType foldedType) {
    switch (foldedType) {
        case ObjectType::File:
            return static_cast<int64_t>(ControlParam::String);
        case ObjectType::Directory:
            return static_cast<int64_t>(ControlParam::Date);
        default:
            return static_cast<int64_t>(ControlParam::Activity);
    }
}

// Wider than the stored value, so that a step from either end of the 32-bit range folds instead of
// overflowing.
ObjectType FoldTypeValue(int64_t type) {
    return static_cast<ObjectType>(type > kLastType ? 0 : (type < 0 ? kLastType : type));
}

ControlParam FoldParamValue(ObjectType foldedType, int64_t param) {
    const int64_t last = LastParam(foldedType);
    return static_cast<ControlParam>(param > last ? 0 : (param < 0 ? last : param));
}

}  // namespace

ObjectType FoldType(ObjectType type) {
    return FoldTypeValue(static_cast<int64_t>(type));
}

ControlParam FoldParam(ObjectType foldedType, ControlParam param) {
    return FoldParamValue(foldedType, static_cast<int64_t>(param));
}

ObjectType StepType(ObjectType type, Step step) {
    return FoldTypeValue(static_cast<int64_t>(FoldType(type)) + static_cast<int64_t>(step));
}

ControlParam StepParam(ObjectType foldedType, ControlParam param, Step step) {
    return FoldParamValue(foldedType, static_cast<int64_t>(param) + static_cast<int64_t>(step));
}

bool UsesSearchText(ObjectType foldedType, ControlParam param) {
    return foldedType == ObjectType::File && param == ControlParam::String;
}

const std::string& KeptPath(const ObjectSettings& settings, ObjectType foldedType) {
    switch (foldedType) {
        case ObjectType::Directory:
            return settings.Path_Dir;
        case ObjectType::Application:
            return settings.Path_Prog;
        default:
            return settings.Path_File;
    }
}

std::string FileNameOf(std::string_view path) {
    const size_t separator = path.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

bool ContainsExe(std::string_view path) {
    return path.find(".exe") != std::string_view::npos;
}

Presence ItemPresence(ObjectType foldedType, std::string_view path, bool resuming) {
    if (path.empty() || (foldedType == ObjectType::Application && !ContainsExe(path))) {
        return Presence::Absent;
    }
    fs::EntryInfo info;
    switch (fs::Examine(path, info)) {
        case fs::Answer::Unreachable:
            return Presence::Unreachable;
        case fs::Answer::Failed:
            return Presence::Failed;
        case fs::Answer::Known:
            break;
    }
    if (info.kind == fs::EntryKind::Missing && resuming && ComesBackLate(path)) {
        return Presence::Unreachable;
    }
    const fs::EntryKind wanted =
        foldedType == ObjectType::Directory ? fs::EntryKind::Directory : fs::EntryKind::File;
    return info.kind == wanted ? Presence::Present : Presence::Absent;
}

bool ApplyBrowse(int number, ObjectType type, const BrowseChoice& choice, bool present,
                 ObjectSettings& settings, Baseline& baseline) {
    switch (type) {
        case ObjectType::Directory:
            settings.Path_Dir = present ? choice.path : std::string();
            settings.Name_Dir = choice.displayName;
            baseline.Dir_OK_Old = present;
            break;
        case ObjectType::Application:
            settings.Path_Prog = present ? choice.path : std::string();
            // The application check looks for a process by this name, so it is the executable's file
            // name: the shell's display name drops the ".exe" where known extensions are hidden.
            settings.Name_Prog = present ? FileNameOf(choice.path) : std::string();
            break;
        default:
            settings.Path_File = present ? choice.path : std::string();
            settings.Name_File = choice.displayName;
            baseline.File_OK_Old = present;
            break;
    }
    if (number == 1) {
        // Object 1 starts its directory and application observations afresh with every new item.
        baseline.Dir_OK_Old = false;
        baseline.Size_Dir_Old = "0";
        baseline.Dir_Data_Old.clear();
        baseline.Prog_Active_Old = false;
    }
    return present;
}

}  // namespace orv::engine
