#include "ui/shell_logic.h"

#include "lang/language.h"

namespace orv::ui {
namespace {

// The four web addresses, kept in one place.
constexpr std::string_view kHomePageEnglish = "https://www.keldrastic.com/en/";
constexpr std::string_view kHomePageRussian = "https://www.keldrastic.com/ru/";
constexpr std::string_view kProgramPageEnglish = "https://www.keldrastic.com/en/orvanter/";
constexpr std::string_view kProgramPageRussian = "https://www.keldrastic.com/ru/orvanter/";

int ThreeStatePicture(int first, bool hot, bool pressed) {
    if (!hot) {
        return first;
    }
    return pressed ? first + 2 : first + 1;
}

}  // namespace

int StartPicture(int32_t language, bool running, bool hot, bool pressed) {
    const bool russian = language == lang::kRussian;
    const int first = russian ? (running ? 24 : 21) : (running ? 18 : 15);
    return ThreeStatePicture(first, hot, pressed);
}

int ResetPicture(int32_t language, bool hot, bool pressed) {
    return ThreeStatePicture(language == lang::kRussian ? 68 : 65, hot, pressed);
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
