// The main window's decisions without a window: the large buttons' pictures and the window's place.
#include <gtest/gtest.h>

#include "lang/language.h"
#include "ui/shell_logic.h"

namespace orv::ui {
namespace {

TEST(ShellLogic, StartPicturesByLanguageRunningHotAndPressed) {
    // {language, running} -> normal, hot, hot and pressed.
    const int expected[2][2][3] = {{{15, 16, 17}, {18, 19, 20}}, {{21, 22, 23}, {24, 25, 26}}};
    for (int language = 0; language < 2; ++language) {
        for (int running = 0; running < 2; ++running) {
            const int* row = expected[language][running];
            EXPECT_EQ(StartPicture(language, running, false, false), row[0]);
            EXPECT_EQ(StartPicture(language, running, true, false), row[1]);
            EXPECT_EQ(StartPicture(language, running, true, true), row[2]);
            // Pressed but dragged out: the normal picture.
            EXPECT_EQ(StartPicture(language, running, false, true), row[0]);
        }
    }
    EXPECT_EQ(ResetPicture(0, true, true), 67);
    EXPECT_EQ(ResetPicture(1, false, true), 68);
    EXPECT_EQ(ResetPicture(1, true, false), 69);
}

TEST(ShellLogic, CentringRoundsTowardZero) {
    EXPECT_EQ(CenteredLeft(1280, 802), 239);
    EXPECT_EQ(CenteredLeft(1281, 802), 239);
    EXPECT_EQ(CenteredLeft(801, 802), 0);
    EXPECT_EQ(CenteredLeft(799, 802), -1);
}

TEST(ShellLogic, LongBalloonTextIsShortenedBetweenCharactersAndKeepsTheCount) {
    const auto english = lang::LanguageTable::For(lang::kEnglish);
    // 300 Cyrillic letters (two bytes each in UTF-8, one UTF-16 unit each).
    std::string longText;
    for (int i = 0; i < 300; ++i) {
        longText += "\xD0\xB6";
    }
    const std::string text = BalloonText(*english, {longText, "b"}, 255);
    const std::string more = "\nand 1 more";
    ASSERT_TRUE(text.ends_with(more)) << text;
    EXPECT_EQ(text.size() - more.size(), 2u * (255 - more.size()));
    EXPECT_EQ(BalloonText(*english, {longText}, 255).size(), 2u * 255);
    EXPECT_EQ(BalloonText(*english, {}), "");
}

TEST(ShellLogic, CommandLineSwitches) {
    EXPECT_TRUE(ParseCommandLine({"/start"}).startControl);
    EXPECT_TRUE(ParseCommandLine({"-START"}).startControl);
    const CommandLine none = ParseCommandLine({});
    EXPECT_FALSE(none.startControl || none.showHelp || none.unknownSwitch);
    const CommandLine help = ParseCommandLine({"/?"});
    EXPECT_TRUE(help.showHelp);
    EXPECT_FALSE(help.unknownSwitch);
    // An unknown switch beside a known one: the message, and the known one still counts.
    const CommandLine unknown = ParseCommandLine({"/start", "/stop"});
    EXPECT_TRUE(unknown.unknownSwitch);
    EXPECT_TRUE(unknown.startControl);
    EXPECT_TRUE(ParseCommandLine({"start"}).unknownSwitch);
    EXPECT_FALSE(ParseCommandLine({"start"}).startControl);
}

}  // namespace
}  // namespace orv::ui
