// Decisions of the main window that need no window: which picture a button shows, where the window goes,
// which help file and web page belong to a language, what the tray balloon says and what the command
// line asks for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lang/language.h"

namespace orv::ui {

// The title-bar buttons are always tested as 22 x 23 boxes.
inline constexpr int kTitleButtonWidth = 22;
inline constexpr int kTitleButtonHeight = 23;

// The start button: language x running x (normal, hot, hot and pressed). Pressed but not hot shows the
// normal picture. A language other than Russian uses the English pictures.
int StartPicture(int32_t language, bool running, bool hot, bool pressed);
// The reset button: language x (normal, hot, hot and pressed).
int ResetPicture(int32_t language, bool hot, bool pressed);

// Left edge that centres a window of `windowWidth` on a desktop of `desktopWidth` (rounded toward
// zero), and the top every showing of the main window uses.
inline int CenteredLeft(int desktopWidth, int windowWidth) {
    return (desktopWidth - windowWidth) / 2;
}
inline constexpr int kMainWindowTop = 10;

// The help file of a language, looked for beside the executable.
std::string_view HelpFileName(int32_t language);

// The maker's home page and the program's page, in English and Russian.
std::string_view HomePage(int32_t language);
std::string_view ProgramPage(int32_t language);

// The tray balloon of a cycle with fulfilled objects: the first one's event text and, when there are
// more, a line "and N more" in the language of `texts`. The event text is shortened (never the count
// line) so that the whole fits the balloon's limit of `limit` UTF-16 units.
std::string BalloonText(const lang::LanguageTable& texts, const std::vector<std::string>& events,
                        size_t limit = 255);

// What the command line asks for. Switches start with '/' or '-' and ignore case.
struct CommandLine {
    bool startControl = false;   // "/start": start control once the main window has been shown
    bool showHelp = false;       // "/?": only the message with the switches
    bool unknownSwitch = false;  // anything else: the same message, then the program starts normally
};
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace orv::ui
