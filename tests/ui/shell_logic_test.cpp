// The main window's decisions without a window: the large buttons' pictures and the window's place.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orv::ui
