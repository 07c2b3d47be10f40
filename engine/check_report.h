// The parts every check shares: the outcome report (event text, hints, colours) and the presence
// outcomes of files, directories and applications.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/checks.h"
#include "engine/objects.h"
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

// The four outcomes of a presence check (a file, a directory, a running application): what is seen
// now against what was seen last time. Appearing and vanishing fulfil; the baseline flag `seen`
// follows what is seen.
struct PresenceTexts {
    lang::TextId title, appeared, stillPresent, vanished, stillAbsent;
};
CheckResult PresenceResult(int number, const ControlObject& object, const CheckContext& context,
                           const PresenceTexts& texts, std::string_view name, bool present,
                           bool Baseline::*seen);

}  // namespace orv::engine
