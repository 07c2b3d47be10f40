#include "ui/title_bar.h"

#include "lang/constants.h"
#include "platform/colour.h"
#include "ui/shell_logic.h"
#include "widgets/mouse.h"
#include "widgets/pictures.h"

namespace orv::ui {
namespace {

using lang::MainControl;

constexpr Colour kStartRunning = kActiveColour;
constexpr Colour kStartStopped = kFieldColour;
constexpr Colour kStartPen = Rgb(0, 86, 128);

// The title-bar buttons: left edge, role and pictures (normal, hot); all at the same top.
struct TitleButton {
    int left;
    MainControl control;
    int normal, hot;
};
constexpr TitleButton kButtons[4] = {
    {702, MainControl::Sb_Help, widgets::btn::kHelp, widgets::btn::kHelpHot},
    {726, MainControl::Sb_Internet, widgets::btn::kInternet, widgets::btn::kInternetHot},
    {750, MainControl::Sb_Min, widgets::btn::kMin, widgets::btn::kMinHot},
    {774, MainControl::Sb_Close, widgets::btn::kClose, widgets::btn::kCloseHot},
};
constexpr int kButtonTop = 5;

}  // namespace

void TitleBar::Create(HWND window, const TitleBarServices& services, const TitleBarActions& actions) {
    services_ = services;
    // The name draws its own one-pixel shadow copy behind its text (Label_Title_Name_Shadow): two
    // overlapping sibling windows would paint over each other.
    name_.Create(
        {.place = {window, 8, 2, 117, 35}, .text = lang::kProgramName, .style = widgets::TitleNameStyle()});
    name_.onMouseDown = [window](widgets::MouseButton button) {
        if (button == widgets::MouseButton::Left) {
            widgets::BeginWindowDrag(window);
        }
    };
    heading1_.Create({.place = {window, 15, 60, 113, 25}, .text = "", .style = widgets::HeadingStyle()});
    heading2_.Create({.place = {window, 22, 396, 127, 25}, .text = "", .style = widgets::HeadingStyle()});

    const widgets::LabelStyle caption = widgets::CaptionStyle();
    columnNumber_.Create(
        {.place = {window, 40, 121, 34, 16}, .text = lang::kNumberColumnHeading, .style = caption});
    columnObject_.Create({.place = {window, 78, 121, 200, 16}, .text = "", .style = caption});
    columnControl_.Create({.place = {window, 376, 121, 160, 16}, .text = "", .style = caption});
    columnAction_.Create({.place = {window, 588, 121, 160, 16}, .text = "", .style = caption});

    const std::function<void()> clicks[4] = {actions.help, actions.internet, actions.minimise, actions.close};
    for (int i = 0; i < 4; ++i) {
        buttons_[i].Create(
            {.place = {window, kButtons[i].left, kButtonTop, kTitleButtonWidth, kTitleButtonHeight},
             .pictures = services.buttons,
             .picture = kButtons[i].normal});
        buttons_[i].onClick = clicks[i];
        roles_.Map(kButtons[i].control, buttons_[i]);
    }

    indicatorFill_ = widgets::BuildPanelFill(22, 9);
    indicatorPanel_.Create({window, 750, 37, 22, 9});
    indicatorPanel_.SetPicture(&indicatorFill_);
    indicator_.Create(
        {.place = {indicatorPanel_.Handle(), 1, 1, 20, 7}, .colour = kStartStopped, .outline = kStartPen});

    roles_.Map(MainControl::Lbl_Title_1, heading1_);
    roles_.Map(MainControl::Lbl_Title_2, heading2_);
    roles_.Map(MainControl::Lbl1_Title_Obj, columnObject_);
    roles_.Map(MainControl::Lbl1_Title_Control, columnControl_);
    roles_.Map(MainControl::Lbl1_Title_Action, columnAction_);
    roles_.Map(MainControl::Indicator_Start, indicator_);
}

void TitleBar::ShowLanguage(const lang::LanguageTable& table) {
    roles_.Show(lang::MainWindowTexts(table, services_.engine->ControlRunning()), *services_.hints);
}

void TitleBar::ShowRunning(bool controlRunning) {
    indicator_.SetColour(controlRunning ? kStartRunning : kStartStopped);
}

void TitleBar::UpdateHover(const widgets::Hover& hover, bool childWindowOpen) {
    for (int i = 0; i < 4; ++i) {
        widgets::PictureButton& button = buttons_[i];
        button.SetVisible(!childWindowOpen);
        if (!childWindowOpen) {
            button.SetPicture(hover.Picture(kButtons[i].left, kButtonTop, kTitleButtonWidth,
                                            kTitleButtonHeight, kButtons[i].normal, kButtons[i].hot));
        }
    }
}

}  // namespace orv::ui
