// The main window's title bar and headings: the program's name (which drags the window), the four
// title-bar buttons, the start indicator, the headings of the two areas and the column headings above
// the object panels.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "engine/engine.h"
#include "lang/apply.h"
#include "lang/language.h"
#include "widgets/hints.h"
#include "widgets/hover.h"
#include "widgets/indicator.h"
#include "widgets/label.h"
#include "widgets/panel.h"
#include "widgets/picture.h"
#include "widgets/picture_button.h"
#include "widgets/role_map.h"

namespace orv::ui {

// What the title-bar buttons do: help, web page, minimise to the tray, close.
struct TitleBarActions {
    std::function<void()> help, internet, minimise, close;
};

// What the title bar shows from: the pictures of its buttons, the running state and the hints.
struct TitleBarServices {
    const widgets::PictureSet* buttons = nullptr;
    const engine::Engine* engine = nullptr;
    widgets::Hints* hints = nullptr;
};

class TitleBar {
  public:
    void Create(HWND window, const TitleBarServices& services, const TitleBarActions& actions);
    // The headings and hints in the language of `table`; the indicator's hint by the running state.
    void ShowLanguage(const lang::LanguageTable& table);
    // The indicator's colour for control running or stopped.
    void ShowRunning(bool controlRunning);
    // The buttons' hot pictures for this tick's cursor; hidden while another window of the program is
    // open over this one.
    void UpdateHover(const widgets::Hover& hover, bool childWindowOpen);

    const widgets::RoleMap<lang::MainControl>& Roles() const { return roles_; }
    widgets::PictureButton& Button(int index) { return buttons_[index]; }  // help, web, min, close
    Colour IndicatorColour() const { return indicator_.GetColour(); }

  private:
    TitleBarServices services_;
    widgets::Label name_, heading1_, heading2_;
    widgets::Label columnNumber_, columnObject_, columnControl_, columnAction_;
    widgets::PictureButton buttons_[4];
    widgets::Picture indicatorFill_;
    widgets::Panel indicatorPanel_;
    widgets::Indicator indicator_;
    widgets::RoleMap<lang::MainControl> roles_;
};

}  // namespace orv::ui
