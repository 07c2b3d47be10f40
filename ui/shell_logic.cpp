#include "ui/shell_logic.h"

#include "lang/language.h"
#include "widgets/pictures.h"

namespace orv::ui {
namespace {

// The four web addresses, kept in one place.
constexpr std::string_view kHomePageEnglish = "https://www.keldrastic.com/en/";
constexpr std::string_view kHomePageRussian = "https://www.keldrastic.com/ru/";
constexpr std::string_view kProgramPageEnglish = "https://www.keldrastic.com/en/orvanter/";
constexpr std::string_view kProgramPageRussian = "https://www.keldrastic.com/ru/orvanter/";

}  // namespace

int StartPicture(int32_t language, bool running, bool hot, bool pressed) {
    return widgets::LargeButtonPicture(running ? widgets::btn::kStopFirst : widgets::btn::kStartFirst,
                                       language == lang::kRussian, widgets::LargeButtonState(hot, pressed),
                                       widgets::btn::kStartLanguageStep);
}

int ResetPicture(int32_t language, bool hot, bool pressed) {
    return widgets::LargeButtonPicture(widgets::btn::kResetFirst, language == lang::kRussian,
                                       widgets::LargeButtonState(hot, pressed));
}

std::string_view HelpFileName(int32_t language) {
    return language == lang::kRussian ? "Help_r.txt" : "Help_e.txt";
}

std::string_view HomePage(int32_t language) {
    return language == lang::kRussian ? kHomePageRussian : kHomePageEnglish;
}

std::string_view ProgramPage(int32_t language) {
    return language == lang::kRussian ? kProgramPageRussian : kProgramPageEnglish;
}

namespace {

// UTF-16 units of a UTF-8 text: one per character, two for those beyond the basic plane.
size_t Utf16Length(std::string_view text) {
    size_t units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        units += (byte & 0xC0) != 0x80 ? 1 : 0;
        units += byte >= 0xF0 ? 1 : 0;
    }
    return units;
}

// The longest start of `text` of at most `limit` UTF-16 units, cut between characters.
std::string_view Shortened(std::string_view text, size_t limit) {
    size_t units = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80) {
            continue;
        }
        const size_t width = byte >= 0xF0 ? 2 : 1;
        if (units + width > limit) {
            return text.substr(0, i);
        }
        units += width;
    }
    return text;
}

}  // namespace

std::string BalloonText(const lang::LanguageTable& texts, const std::vector<std::string>& events,
                        size_t limit) {
    if (events.empty()) {
        return {};
    }
    std::string more;
    if (events.size() > 1) {
        more = texts.Text(lang::TextId::MoreEvents);
        const size_t mark = more.find("%N");
        if (mark != std::string::npos) {
            more.replace(mark, 2, std::to_string(events.size() - 1));
        }
        more.insert(0, "\n");
    }
    const size_t moreLength = Utf16Length(more);
    std::string text(Shortened(events.front(), limit > moreLength ? limit - moreLength : 0));
    text += more;
    return text;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    for (const std::string& argument : arguments) {
        std::string lower;
        for (const char c : argument) {
            lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        if (lower.empty()) {
            continue;
        }
        const bool isSwitch = lower[0] == '/' || lower[0] == '-';
        if (isSwitch && lower.substr(1) == "start") {
            result.startControl = true;
        } else if (isSwitch && lower.substr(1) == "?") {
            result.showHelp = true;
        } else {
            result.unknownSwitch = true;
        }
    }
    return result;
}

}  // namespace orv::ui
