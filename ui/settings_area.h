// The main window's settings area: the five option boxes with their labels, the language field, the
// "Keep log files" field and the two large buttons, start and reset. The boxes and fields act on the
// program's state at once; the large buttons report their clicks to the window, which wires them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "engine/engine.h"
#include "lang/apply.h"
#include "lang/language.h"
#include "settings/startup.h"
#include "ui/up_down_field.h"
#include "widgets/hints.h"
#include "widgets/hover.h"
#include "widgets/keyboard.h"
#include "widgets/label.h"
#include "widgets/large_button.h"
#include "widgets/picture_button.h"
#include "widgets/pictures.h"
#include "widgets/role_map.h"

namespace orv::ui {

// The option boxes of the settings area.
inline constexpr int kOptionBoxes = 5;

// The text the "Keep log files" field shows for a limit: "forever", "1 day", "7 days", ... in the
// table's language.
std::string LogKeepText(int32_t days, const lang::LanguageTable& texts);

struct SettingsAreaServices {
    engine::Engine* engine = nullptr;
    settings::ProgramState* state = nullptr;
    widgets::Hints* hints = nullptr;
    const widgets::ProgramPictures* pictures = nullptr;
    HFONT fieldFont = nullptr;
    // Shows an error message of the system's kind.
    std::function<void(const std::string&)> showError;
};

// What the area asks of the window: the other language, and the two large buttons' clicks.
struct SettingsAreaActions {
    std::function<void()> switchLanguage, start, reset;
};

class SettingsArea {
  public:
    void Create(HWND window, const SettingsAreaServices& services, const SettingsAreaActions& actions);
    // Captions, hints, the language's name, the log limit and the large buttons in the language of
    // `table`, by the running state of control.
    void ShowLanguage(const lang::LanguageTable& table);
    void ShowOptionBoxes();
    // The arrows and the large buttons for this tick's cursor over the window.
    void UpdateHover(const widgets::Hover& hover);
    // Up or Down on the language or the log-keep field steps it; false for any other focus.
    bool StepByKey(HWND focus, bool up);
    // The options row by row, the language, the large buttons, the log-keep field.
    void AddToTabOrder(widgets::TabOrder& order) const;

    // --- Handlers ---
    void Cb_HintShowClick();
    void Cb_AutoRunClick();
    void Cb_MinFormShowClick();
    void Cb_LogOKClick();
    void Cb_WaitFinishedClick();
    void Sb_Lang_UpClick();
    void Sb_Lang_DownClick();

    // --- What the area shows (the tests read these) ---
    const widgets::RoleMap<lang::MainControl>& Roles() const { return roles_; }
    // min, autorun, hints, log, wait
    widgets::PictureButton& OptionBox(int index) { return optionBoxes_[index]; }
    widgets::LargeButton& StartButton() { return start_; }
    widgets::LargeButton& ResetButton() { return reset_; }
    UpDownField& LanguageField() { return language_; }
    UpDownField& LogKeep() { return logKeep_; }

  private:
    void CreateOptionBoxes(HWND window);
    void CreateLargeButtons(HWND window);
    void StepLogKeepDays(int step);
    // The two large buttons' pictures for the language, the running state, the cursor of the last tick
    // and a left press held on them.
    void DrawLargeButtons();
    void MapRoles();

    SettingsAreaServices services_;
    SettingsAreaActions actions_;
    // The language last shown; one table per language lives for the whole run.
    const lang::LanguageTable* texts_ = lang::LanguageTable::For(lang::kEnglish).get();
    bool startHot_ = false;
    bool resetHot_ = false;

    UpDownField language_;
    UpDownField logKeep_;
    widgets::Label optionLabels_[kOptionBoxes];
    widgets::PictureButton optionBoxes_[kOptionBoxes];
    widgets::LargeButton start_, reset_;
    widgets::RoleMap<lang::MainControl> roles_;
};

}  // namespace orv::ui
