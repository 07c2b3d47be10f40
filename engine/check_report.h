// The parts every check shares: the outcome report (event text, hints, colours) and the size
// comparison of the file and directory checks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/checks.h"
#include "engine/objects.h"
#include "lang/texts.h"

namespace orv::engine {

// The line break of the indicator hints: LF then CR, in that order.
inline constexpr std::string_view kHintBreak = "\n\r";
inline constexpr std::string_view kHintSlash = " / ";

// A result with the event text "Object N / heading : name / outcome", the path indicator's hint
// heading + " : " + name + line break + outcome and its colour; the string indicator is left unset.
CheckResult MakeResult(int number, const CheckContext& context, lang::TextId heading, std::string_view name,
                       std::string_view outcome, const Baseline& baseline, bool fulfilled, bool pathActive);

std::string Hint(const CheckContext& context, lang::TextId heading, std::string_view name,
                 std::string_view outcome, std::string_view separator);

// A size baseline read as a 64-bit signed decimal integer: an optional sign and digits, nothing else.
std::optional<int64_t> ParseSizeBaseline(std::string_view text);

// How a measured size compares with the baseline, and by how much (the amount of the change).
struct SizeChange {
    int direction = 0;  // -1 smaller, 0 equal, +1 larger
    uint64_t amount = 0;
};
SizeChange CompareSize(uint64_t now, int64_t old);

}  // namespace orv::engine
