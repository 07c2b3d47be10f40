#include "engine/check_report.h"
#include "engine/checks.h"
#include "engine/object_rules.h"
#include "platform/files.h"
#include "platform/processes.h"

namespace orv::engine {
namespace {

using lang::TextId;

// The object names a program when its path is no folder and mentions ".exe" (exactly so: ".EXE" does
// not count). The program file itself need not exist: the check looks for the process by name.
bool NamesProgram(std::string_view path) {
    return ContainsExe(path) && !fs::IsDirectory(path);
}

}  // namespace

std::optional<bool> IsProcessRunning(std::string_view imageName) {
    bool found = false;
    const bool listed = proc::ForEachProcessName([&](std::string_view name) {
        found = name == imageName;
        return !found;
    });
    // A list that could not be taken says nothing about the program: it is not "closed".
    if (!listed && !found) {
        return std::nullopt;
    }
    return found;
}

std::optional<CheckResult> CheckApplication(int number, const ControlObject& object,
                                            const CheckContext& context) {
    if (object.settings.Param != ControlParam::Activity) {
        return std::nullopt;  // no report at all
    }
    const std::string& name = object.settings.Name_Prog;
    if (!NamesProgram(object.settings.Path_Prog)) {
        return NoControlResult(number, object, context, TextId::AppTitle, name, TextId::AppMissingNoControl);
    }
    const std::optional<bool> running = IsProcessRunning(name);
    if (!running) {
        return std::nullopt;
    }
    static constexpr PresenceTexts kTexts{TextId::AppTitle, TextId::AppActive, TextId::AppStillActive,
                                          TextId::AppClosed, TextId::AppStillInactive};
    return PresenceResult(number, object, context, kTexts, name, *running, &Baseline::Prog_Active_Old);
}

}  // namespace orv::engine
