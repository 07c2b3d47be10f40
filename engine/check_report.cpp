#include "engine/check_report.h"

#include <limits>

namespace orv::engine {

std::string Hint(const CheckContext& context, lang::TextId heading, std::string_view name,
                 std::string_view outcome, std::string_view separator) {
    std::string hint = context.texts.Text(heading);
    hint += " : ";
    hint += name;
    hint += separator;
    hint += outcome;
    return hint;
}

CheckResult MakeResult(int number, const CheckContext& context, lang::TextId heading, std::string_view name,
                       std::string_view outcome, const Baseline& baseline, bool fulfilled, bool pathActive) {
    CheckResult result;
    result.baseline = baseline;
    result.fulfilled = fulfilled;
    result.eventText = context.texts.Text(lang::TextId::ObjectWord);
    result.eventText += ' ';
    result.eventText += std::to_string(number);
    result.eventText += " / ";
    result.eventText += context.texts.Text(heading);
    result.eventText += " : ";
    result.eventText += name;
    result.eventText += " / ";
    result.eventText += outcome;
    result.outcome = outcome;
    result.report.pathColour = pathActive ? kActiveColour : kIdleColour;
    result.report.pathHint = Hint(context, heading, name, outcome, kHintBreak);
    return result;
}

CheckResult NoControlResult(int number, const ControlObject& object, const CheckContext& context,
                            lang::TextId heading, std::string_view name, lang::TextId outcome) {
    return MakeResult(number, context, heading, name, context.texts.Text(outcome), object.baseline, false,
                      false);
}

fs::Answer LookAtPath(std::string_view path, fs::EntryInfo& info) {
    info = fs::EntryInfo{};
    if (path.empty()) {
        return fs::Answer::Known;  // an object whose item has not been chosen yet
    }
    return fs::Examine(path, info);
}

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

CheckResult PresenceResult(int number, const ControlObject& object, const CheckContext& context,
                           const PresenceTexts& texts, std::string_view name, bool present,
                           bool Baseline::*seen) {
    const bool before = object.baseline.*seen;
    lang::TextId outcome;
    if (present) {
        outcome = before ? texts.stillPresent : texts.appeared;
    } else {
        outcome = before ? texts.vanished : texts.stillAbsent;
    }
    Baseline baseline = object.baseline;
    baseline.*seen = present;
    return MakeResult(number, context, texts.title, name, context.texts.Text(outcome), baseline,
                      present != before, present);
}

CheckResult SizeResult(int number, const ControlObject& object, const CheckContext& context,
                       const SizeTexts& texts, std::string_view name, uint64_t size, int64_t old,
                       std::string Baseline::*stored) {
    const SizeChange change = CompareSize(size, old);
    if (change.direction == 0) {
        return MakeResult(number, context, texts.title, name, context.texts.Text(texts.unchanged),
                          object.baseline, false, true);
    }
    std::string outcome = context.texts.Text(change.direction > 0 ? texts.increased : texts.decreased);
    outcome += std::to_string(change.amount);
    outcome += " b";
    Baseline baseline = object.baseline;
    baseline.*stored = std::to_string(size);
    return MakeResult(number, context, texts.title, name, outcome, baseline, true, true);
}

CheckResult DateResult(int number, const ControlObject& object, const CheckContext& context,
                       const DateTexts& texts, std::string_view name, const std::string& digits,
                       std::string Baseline::*stored) {
    if (digits == object.baseline.*stored) {
        return MakeResult(number, context, texts.title, name, context.texts.Text(texts.unchanged),
                          object.baseline, false, true);
    }
    Baseline baseline = object.baseline;
    baseline.*stored = digits;
    return MakeResult(number, context, texts.title, name, context.texts.Text(texts.changed), baseline, true,
                      true);
}

std::optional<CheckResult> UnreachableResult(int number, const ControlObject& object,
                                             const CheckContext& context) {
    using lang::TextId;
    // By type: the heading of each parameter, the outcome and the name shown.
    struct Kind {
        const TextId* headings;
        int32_t params;
        TextId outcome;
        std::string ObjectSettings::*name;
    };
    static constexpr TextId kFile[] = {TextId::FileAvailabilityTitle, TextId::FileSizeTitle,
                                       TextId::FileDateTitle, TextId::StringTitle};
    static constexpr TextId kDirectory[] = {TextId::DirAvailabilityTitle, TextId::DirSizeTitle,
                                            TextId::DirDateTitle};
    static constexpr TextId kApplication[] = {TextId::AppTitle};
    static constexpr Kind kKinds[] = {
        {kFile, 4, TextId::FileUnreachable, &ObjectSettings::Name_File},
        {kDirectory, 3, TextId::DirUnreachable, &ObjectSettings::Name_Dir},
        {kApplication, 1, TextId::AppUnreachable, &ObjectSettings::Name_Prog},
    };
    const ObjectSettings& settings = object.settings;
    const auto type = static_cast<int32_t>(settings.Type);
    if (type < 0 || type > 2) {
        return std::nullopt;
    }
    const Kind& kind = kKinds[type];
    const auto param = static_cast<int32_t>(settings.Param);
    if (param < 0 || param >= kind.params) {
        return std::nullopt;
    }
    const TextId heading = kind.headings[param];
    CheckResult result = MakeResult(number, context, heading, settings.*kind.name,
                                    context.texts.Text(kind.outcome), object.baseline, false, false);
    result.measured = false;
    result.eventText.clear();
    if (heading == TextId::StringTitle) {
        result.report.stringHint = result.report.pathHint;  // the lamp's colour stays as last counted
    }
    return result;
}

std::optional<CheckResult> NoAnswerResult(fs::Answer answer, int number, const ControlObject& object,
                                          const CheckContext& context) {
    if (answer == fs::Answer::Unreachable) {
        return UnreachableResult(number, object, context);
    }
    return std::nullopt;
}

}  // namespace orv::engine
