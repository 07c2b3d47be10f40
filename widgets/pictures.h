// The program's pictures, drawn in code: the button sets of the main window and the macro editor, the
// skins, the splash pictures, the icons and the tray menu's small pictures. The large ones and every
// picture of the button sets are drawn when a window first shows them; the splash and the macro editor
// give theirs back when they close. The
// words on the buttons come from the texts below, so both languages are drawn the same way.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "widgets/canvas.h"
#include "widgets/check_box.h"
#include "widgets/gdi.h"
#include "widgets/label.h"
#include "widgets/picture.h"

namespace orv::widgets {

// A large button's three pictures, in this order in every set.
enum class ButtonState { Normal = 0, Hot = 1, Pressed = 2 };

// Pressed shows only while the cursor is over the button; a press dragged off it shows the normal one.
constexpr ButtonState LargeButtonState(bool hot, bool pressed) {
    return !hot ? ButtonState::Normal : (pressed ? ButtonState::Pressed : ButtonState::Hot);
}

// Every large button's picture: its first (English, normal) picture + 3 x language + state, where the
// language is 0 for English and 1 for Russian. `languageStep` is 6 for the start button only.
constexpr int LargeButtonPicture(int first, bool russian, ButtonState state, int languageStep = 3) {
    return first + (russian ? languageStep : 0) + static_cast<int>(state);
}

// Places in BitmapList_Btn (the main window's buttons).
namespace btn {
inline constexpr int kHelpHot = 0, kHelp = 1, kInternetHot = 2, kInternet = 3, kMinHot = 4, kMin = 5,
                     kCloseHot = 6, kClose = 7;
inline constexpr int kArrowUp = 8, kArrowDown = 9, kArrowUpHot = 10, kArrowDownHot = 11;
// Start button: its stopped and running sets lie side by side in each language, so a language's sets
// are 6 pictures apart.
inline constexpr int kStartFirst = 15, kStopFirst = 18, kStartLanguageStep = 6;
inline constexpr int kOptionOff = 30, kOptionOn = 31;
inline constexpr int kAction = 36, kActionHot = 37, kPath = 38, kPathHot = 39;
inline constexpr int kResetFirst = 65;
inline constexpr int kCount = 71;
}  // namespace btn

// Places in BitmapList_Macros (the macro editor).
namespace macros {
inline constexpr int kApplyFirst = 0, kResetFirst = 12, kRunFirst = 18, kCloseFirst = 24;
// The arrows beside the selected-file field: previous entry (left), next entry (right).
inline constexpr int kArrowPrevious = 6, kArrowNext = 7, kArrowPreviousHot = 8, kArrowNextHot = 9;
inline constexpr int kMethodOff = 39, kMethodOn = 40;
// The frame behind the selected-file field, drawn at its size of 366 x 21.
inline constexpr int kFieldFrame = 41;
inline constexpr int kCount = 43;
}  // namespace macros

inline constexpr int kLargeButtonWidth = 164, kLargeButtonHeight = 50;
inline constexpr int kSkinWidth = 802, kSkinHeight = 602;
inline constexpr int kEditorWidth = 800, kEditorHeight = 527;
inline constexpr int kSplashWidth = 400, kSplashHeight = 300;

// The main window's outline: an 800 x 600 rectangle with stepped corners.
inline constexpr std::array<RECT, 9> kMainOutline{{{6, 1, 796, 2},
                                                   {4, 2, 798, 3},
                                                   {3, 3, 799, 4},
                                                   {2, 4, 800, 6},
                                                   {1, 6, 801, 596},
                                                   {2, 596, 800, 598},
                                                   {3, 598, 799, 599},
                                                   {4, 599, 798, 600},
                                                   {6, 600, 796, 601}}};

// The words on the large buttons in one language.
struct ButtonWords {
    std::wstring start, stop, reset, apply, run, close;
};
const ButtonWords& EnglishButtonWords();
const ButtonWords& RussianButtonWords();

PictureSet BuildButtonPictures();
PictureSet BuildMacroPictures();
// The main window's skin, 802 x 602, drawn part by part as the window paints (PaintedPicture).
void DrawMainSkin(Canvas& canvas);
// The panel picture (a dark groove with a light edge) at the size of the panel it fills.
Picture BuildPanelFill(int width, int height);
Picture BuildEditorBackground();

Picture BuildSplashLogo();

// The splash's pictures, drawn when it shows and given back when it hides: the windows that show
// them keep their addresses, which stay the same.
struct SplashPictures {
    LazyPicture logo;  // Img_Logo, 400 x 300
    Picture load;      // Img_Load, 33 x 49
    Picture done;      // Img_Done, 25 x 49
    Picture barTexture;
    Picture backgroundTexture;

    // Draws the small pictures that are not there (the logo draws itself when first asked for).
    void Make();
    void Release();
};
// With the small pictures drawn.
SplashPictures BuildSplashPictures();

// The program's icon at `size` pixels (16, 32, 48); null when it cannot be made.
Icon BuildProgramIcon(int size);

// The small pictures of the tray menu items: start, stop, web site, program page, exit, pause (16 x 16),
// drawn when the menu first shows them.
inline constexpr int kTrayPictureCount = 6;
std::array<LazyPicture, kTrayPictureCount> BuildTrayMenuPictures();

// Every picture of the program, shared by the windows; made at start-up are only the makers and the
// small pictures the windows need at once (icons, the splash's small ones).
struct ProgramPictures {
    PictureSet buttons;  // BitmapList_Btn
    PictureSet macros;   // BitmapList_Macros
    PaintedPicture mainSkin;
    LazyPicture editorBackground;
    SplashPictures splash;
    std::array<LazyPicture, kTrayPictureCount> trayMenu;
    Icon smallIcon;  // 16 x 16: tray and window caption
    Icon largeIcon;  // 32 x 32: task switcher
};
std::unique_ptr<ProgramPictures> BuildProgramPictures();

// The looks of the labels and boxes that sit on the skins.
LabelStyle TitleNameStyle();  // "Orvanter": 27-pixel cell, gold with its orange shadow
LabelStyle HeadingStyle();    // "Control", "Settings": bold 19 pixels on a light gradient tab
LabelStyle CaptionStyle();    // ordinary captions: 12 pixels, light blue
CheckBoxStyle EnableBoxStyle();

}  // namespace orv::widgets
