#include "engine/path_check.h"

#include <limits>

#include "engine/object_rules.h"
#include "engine/resume_watch.h"

namespace orv::engine {
namespace {

// A size baseline read as a 64-bit signed decimal integer: an optional sign and digits, nothing else.
std::optional<int64_t> ParseSizeBaseline(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    // Accumulate as a negative number, which has room for the smallest int64 as well.
    int64_t value = 0;
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        const int digit = c - '0';
        if (value < (kMin + digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == kMin) {
            return std::nullopt;
        }
        value = -value;
    }
    return value;
}

// How a measured size compares with the baseline, and by how much (the amount of the change).
struct SizeChange {
    int direction = 0;  // -1 smaller, 0 equal, +1 larger
    uint64_t amount = 0;
};

SizeChange CompareSize(uint64_t now, int64_t old) {
    // Unsigned wrap-around gives the exact difference whenever the larger value is the minuend.
    const bool oldNegative = old < 0;
    const uint64_t oldBits = static_cast<uint64_t>(old);
    if (!oldNegative && oldBits == now) {
        return {};
    }
    if (oldNegative || oldBits < now) {
        return {+1, now - oldBits};
    }
    return {-1, oldBits - now};
}

const std::string& NameOf(const PathKind& kind, const ControlObject& object) {
    return object.settings.*kind.name;
}

// Size and date cannot be controlled while the item is missing.
CheckResult WithoutItem(int number, const ControlObject& object, const CheckContext& context,
                        const PathKind& kind, lang::TextId heading) {
    return NoControlResult(number, object, context, heading, NameOf(kind, object), kind.missing);
}

std::optional<CheckResult> CheckAvailability(int number, const ControlObject& object,
                                             const CheckContext& context, const PathKind& kind,
                                             const PathState& state) {
    return PresenceResult(number, object, context, kind.presence, NameOf(kind, object), state.exists,
                          kind.seen);
}

std::optional<CheckResult> CheckSize(int number, const ControlObject& object, const CheckContext& context,
                                     const PathKind& kind, const PathState& state) {
    const SizeTexts& texts = kind.size;
    if (!state.exists) {
        return WithoutItem(number, object, context, kind, texts.title);
    }
    const std::optional<int64_t> old = ParseSizeBaseline(object.baseline.*kind.sizeBaseline);
    if (!old) {
        return std::nullopt;  // a baseline that is no number: the check cannot compare, and says nothing
    }
    uint64_t size = 0;
    const fs::Answer answer = kind.measureSize(object.settings.*kind.path, state, size);
    if (answer != fs::Answer::Known) {
        // Vanished since it was seen, may not be read, or stopped answering: no size to report.
        return NoAnswerResult(answer, number, object, context);
    }
    const SizeChange change = CompareSize(size, *old);
    const std::string& name = NameOf(kind, object);
    if (change.direction == 0) {
        return MakeResult(number, context, texts.title, name, context.texts.Text(texts.unchanged),
                          object.baseline, false, true);
    }
    std::string outcome = context.texts.Text(change.direction > 0 ? texts.increased : texts.decreased);
    outcome += std::to_string(change.amount);
    outcome += " b";
    Baseline baseline = object.baseline;
    baseline.*kind.sizeBaseline = std::to_string(size);
    return MakeResult(number, context, texts.title, name, outcome, baseline, true, true);
}

std::optional<CheckResult> CheckDate(int number, const ControlObject& object, const CheckContext& context,
                                     const PathKind& kind, const PathState& state) {
    const DateTexts& texts = kind.date;
    if (!state.exists) {
        return WithoutItem(number, object, context, kind, texts.title);
    }
    if (!state.time) {
        return std::nullopt;  // a time that cannot be converted is a failed measurement, not a date
    }
    const std::string digits = DigitString(FormatTimestamp(*state.time, context.formats, context.names));
    const std::string& name = NameOf(kind, object);
    if (digits == object.baseline.*kind.dateBaseline) {
        return MakeResult(number, context, texts.title, name, context.texts.Text(texts.unchanged),
                          object.baseline, false, true);
    }
    Baseline baseline = object.baseline;
    baseline.*kind.dateBaseline = digits;
    return MakeResult(number, context, texts.title, name, context.texts.Text(texts.changed), baseline, true,
                      true);
}

// The entry's time in local time, reduced to the DOS resolution where the kind says so; nothing when
// it cannot be converted.
std::optional<clock::LocalTime> TimeOf(const PathKind& kind, const fs::EntryInfo& info) {
    clock::LocalTime local;
    if (!clock::FileTimeToLocal(info.*kind.time, local)) {
        return std::nullopt;
    }
    if (!kind.dosTime) {
        return local;
    }
    clock::LocalTime reduced;
    if (!clock::ReduceToDosTime(local, reduced)) {
        return std::nullopt;
    }
    return reduced;
}

}  // namespace

fs::Answer LookAtItem(const PathKind& kind, std::string_view path, PathState& state) {
    PathState seen;
    if (path.empty()) {
        state = seen;  // an object whose item has not been chosen yet
        return fs::Answer::Known;
    }
    fs::EntryInfo info;
    const fs::Answer answer = fs::Examine(path, info);
    if (answer != fs::Answer::Known) {
        return answer;
    }
    seen.found = info.kind != fs::EntryKind::Missing;
    seen.exists = info.kind == kind.entry;
    seen.size = info.size;
    if (seen.exists) {
        seen.time = TimeOf(kind, info);
        // Dated outside what the program can show: counts as missing.
        seen.exists = seen.time.has_value() || !kind.dosTime;
    }
    state = seen;
    return answer;
}

std::optional<CheckResult> CheckPathObject(int number, const ControlObject& object,
                                           const CheckContext& context, const PathKind& kind) {
    const ControlParam param = object.settings.Param;
    if (FoldParam(kind.type, param) != param) {
        return std::nullopt;
    }
    const std::string& path = object.settings.*kind.path;
    PathState state;
    const fs::Answer answer = LookAtItem(kind, path, state);
    if (answer != fs::Answer::Known) {
        return NoAnswerResult(answer, number, object, context);
    }
    if (!state.found && context.resuming && ComesBackLate(path)) {
        return UnreachableResult(number, object, context);
    }
    switch (param) {
        case ControlParam::Availability:
            return CheckAvailability(number, object, context, kind, state);
        case ControlParam::Size:
            return CheckSize(number, object, context, kind, state);
        case ControlParam::Date:
            return CheckDate(number, object, context, kind, state);
        default:
            return kind.extra != nullptr ? kind.extra(number, object, context, state) : std::nullopt;
    }
}

}  // namespace orv::engine
