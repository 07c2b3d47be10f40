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

}  // namespace orv::ui
