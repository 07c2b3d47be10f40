#include "engine/check_report.h"

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
