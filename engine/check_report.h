// The parts every check shares: the outcome report (event text, hints, colours) and the size
// comparison of the file and directory checks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/checks.h"
#include "engine/object_rules.h"
#include "engine/objects.h"
#include "engine/resume_watch.h"
#include "lang/texts.h"
#include "platform/files.h"

namespace orv::engine {

// The line break of the indicator hints: LF then CR, in that order.
inline constexpr std::string_view kHintBreak = "\n\r";
inline constexpr std::string_view kHintSlash = " / ";

// A result with the event text "Object N / heading : name / outcome", the path indicator's hint
// heading + " : " + name + line break + outcome and its colour; the string indicator is left unset.
CheckResult MakeResult(int number, const CheckContext& context, lang::TextId heading, std::string_view name,
                       std::string_view outcome, const Baseline& baseline, bool fulfilled, bool pathActive);

// The outcome of a check that cannot control its item (it is missing, or not named yet): nothing
// fulfilled, the baseline kept, the path indicator idle.
CheckResult NoControlResult(int number, const ControlObject& object, const CheckContext& context,
                            lang::TextId heading, std::string_view name, lang::TextId outcome);

std::string Hint(const CheckContext& context, lang::TextId heading, std::string_view name,
                 std::string_view outcome, std::string_view separator);

// The outcome of a check whose look at its item came to no answer (`answer` is not Known): nothing for
// a failed measurement, UnreachableResult when the item's volume or server did not answer.
std::optional<CheckResult> NoAnswerResult(fs::Answer answer, int number, const ControlObject& object,
                                          const CheckContext& context);

// One look at the path an object watches: Known with `info` filled in (EntryKind::Missing while no
// path has been chosen), otherwise nothing was learnt.
fs::Answer LookAtPath(std::string_view path, fs::EntryInfo& info);

// A size baseline read as a 64-bit signed decimal integer: an optional sign and digits, nothing else.
std::optional<int64_t> ParseSizeBaseline(std::string_view text);

// How a measured size compares with the baseline, and by how much (the amount of the change).
struct SizeChange {
    int direction = 0;  // -1 smaller, 0 equal, +1 larger
    uint64_t amount = 0;
};
SizeChange CompareSize(uint64_t now, int64_t old);

// The four outcomes of a presence check (a file, a directory, a running application): what is seen
// now against what was seen last time. Appearing and vanishing fulfil; the baseline flag `seen`
// follows what is seen.
struct PresenceTexts {
    lang::TextId title, appeared, stillPresent, vanished, stillAbsent;
};
CheckResult PresenceResult(int number, const ControlObject& object, const CheckContext& context,
                           const PresenceTexts& texts, std::string_view name, bool present,
                           bool Baseline::*seen);

// A size measured against the decimal size baseline `stored` (already read as `old`): unchanged, or
// grown or shrunk by an amount in bytes, which fulfils and becomes the new baseline.
struct SizeTexts {
    lang::TextId title, increased, decreased, unchanged;
};
CheckResult SizeResult(int number, const ControlObject& object, const CheckContext& context,
                       const SizeTexts& texts, std::string_view name, uint64_t size, int64_t old,
                       std::string Baseline::*stored);

// A timestamp's digit string against the digits kept in `stored`: any difference fulfils.
struct DateTexts {
    lang::TextId title, changed, unchanged;
};
CheckResult DateResult(int number, const ControlObject& object, const CheckContext& context,
                       const DateTexts& texts, std::string_view name, const std::string& digits,
                       std::string Baseline::*stored);

// The check of one parameter of an object that watches a path, from what one look at the path learnt.
template <class State>
using PathMeasure = std::optional<CheckResult> (*)(int number, const ControlObject& object,
                                                   const CheckContext& context, const State& state);

// The frame of the file and directory checks: a parameter outside the type's range checks nothing, a
// look at the path that came to no answer says so, and otherwise the parameter's own check (`checks`
// holds one for each parameter of the type, in order) measures. `State::found` says whether the system
// found any entry at the path.
template <class State, size_t N>
std::optional<CheckResult> CheckPathObject(int number, const ControlObject& object,
                                           const CheckContext& context, ObjectType type,
                                           std::string_view path,
                                           fs::Answer (*look)(std::string_view, State&),
                                           const std::array<PathMeasure<State>, N>& checks) {
    const ControlParam param = object.settings.Param;
    if (FoldParam(type, param) != param) {
        return std::nullopt;
    }
    State state;
    const fs::Answer answer = look(path, state);
    if (answer != fs::Answer::Known) {
        return NoAnswerResult(answer, number, object, context);
    }
    if (!state.found && context.resuming && ComesBackLate(path)) {
        return UnreachableResult(number, object, context);
    }
    const auto index = static_cast<size_t>(param);
    return index < N ? checks[index](number, object, context, state) : std::nullopt;
}

}  // namespace orv::engine
