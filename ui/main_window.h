// The main window TfmMain: the skinned frame with its parts, the title bar, the eight object panels, the
// settings area and the tray icon, which it makes and wires. Its 100 ms work timer hands the cursor to
// the parts, which light the buttons under it; the scan thread's display updates reach the window
// through a queue that it drains on the user-interface thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "engine/engine.h"
#include "lang/apply.h"
#include "lang/language.h"
#include "ui/display_hand_off.h"
#include "ui/main_window_services.h"
#include "ui/object_panel.h"
#include "ui/program_tray.h"
#include "ui/settings_area.h"
#include "ui/title_bar.h"
#include "widgets/edit_field.h"
#include "widgets/gdi.h"
#include "widgets/hints.h"
#include "widgets/keyboard.h"
#include "widgets/pictures.h"
#include "widgets/skinned_window.h"

namespace orv::ui {

// The message a second start of the program posts to the running program's main window: come back to
// the front. Registered, so that it means the same in every process.
UINT ComeToFrontMessage();

// The windows the main window opens: the splash and the macro editor. Unset members do nothing.
struct ChildWindows {
    // Shows the splash modally; returns when it has closed (which calls TfmMain::SplashClosed).
    std::function<void(HWND owner)> showSplash;
    // The macro editor on macro N, modally; returns when it has closed.
    std::function<void(HWND owner, int macro)> showMacroEditor;
    std::function<bool()> macroEditorVisible;
    std::function<void()> hideMacroEditor;
    std::function<void(const lang::LanguageTable&)> applyEditorLanguage;
};

class TfmMain : public widgets::SkinnedWindow {
  public:
    TfmMain() = default;
    ~TfmMain() override;

    ChildWindows children;

    // The window's creation: loads the settings, switches the hints and starts the work timer. The
    // window stays hidden and without controls: the show step makes them, while the splash runs.
    // False when the window cannot be made.
    bool Create(const MainWindowServices& services);
    // Makes the next group of controls: the title bar and headings, each object panel, then the
    // settings area with the tray icon. False when all exist (or the window has gone).
    bool MakeNextControls();
    void MakeAllControls();
    bool ControlsMade() const { return controlSteps_ == kControlSteps; }
    // The message about stored values of the wrong type found while loading ("" when none).
    const std::string& LoadMessage() const { return loadMessage_; }
    // The message about values that could not be written at exit ("" when all were).
    const std::string& ExitMessage() const { return exitMessage_; }

    // Shows the window: the show step first, then the window itself, active.
    void ShowMain();
    // Control starts once, at the first tick after the window has been shown (and hidden to the tray
    // when the start-minimised option is on): the command line's "/start".
    void StartControlWhenShown() { startControlWhenShown_ = true; }
    // The show step: splash (once), texts, place, panels, hints, options, macro indicators.
    void FormShow();
    // Every part of the window, and the macro editor, in the language of `table` at once: captions,
    // hints, the texts of each part's state and the large buttons' pictures.
    void ShowLanguage(const lang::LanguageTable& table);

    // --- Handlers ---
    void Timer_WorkTimer();
    void Sb_StartClick();
    void Sb_ResetClick();
    void Sb_MinClick();
    void TrayIconDblClick();
    void Sb_CloseClick();
    void Sb_HelpClick();
    void Sb_InternetClick();

    // --- Routines ---
    void UpdateMacroIndicators();
    // Applies every display update the scan thread has handed over, in order.
    void DrainDisplayUpdates();

    // A second start of the program asked for this window: back from the tray (or from the taskbar when
    // minimised), in front of other windows; an open splash or macro editor comes to the front instead.
    void ComeToFront();

    // --- Set by the other windows ---
    void SplashClosed() { splashClosed_ = true; }
    void SetChildWindowOpen(bool open) { childWindowOpen_ = open; }

    // --- The parts and what the window shows (the tests read these) ---
    ObjectPanel& Panel(int number) { return panels_[number - 1]; }
    SettingsArea& Settings() { return settings_; }
    ProgramTray& Tray() { return tray_; }
    // help, web, min, close
    widgets::PictureButton& TitleButton(int index) { return titleBar_.Button(index); }
    Colour StartIndicatorColour() const { return titleBar_.IndicatorColour(); }
    // The caption or hint a control shows now ("" when it has none).
    std::string CaptionOf(lang::MainControl control) const;
    std::string HintOf(lang::MainControl control) const;
    bool FirstTickPending() const { return firstTick_; }
    bool ChildWindowOpen() const { return childWindowOpen_; }
    bool InTray() const { return tray_.Active(); }

    const widgets::TabOrder& TabOrderOfControls() const { return tabOrder_; }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnWindowKey(UINT key, bool shift, HWND focus) override;

  private:
    static constexpr int kControlSteps = engine::kObjectCount + 2;
    void MakeFrameControls();
    void MakePanel(int number);
    void MakeSettingsArea();
    void MakeTray();
    void SwitchLanguage();
    // Every part's captions and hints in the language of `table`, with the large buttons' pictures; the
    // rows' state texts too when `rowStates`.
    void ShowTexts(const lang::LanguageTable& table, bool rowStates);
    void ShowError(const std::string& text);
    const widgets::RoleMap<lang::MainControl>& RolesOf(lang::MainControl control) const;
    void StopControlIfRunning();
    void FirstActiveTick();
    void OpenMacroEditor(int number);
    void PlaceAtStart();
    void SaveAtExit();
    bool OnTimer(WPARAM timer);

    MainWindowServices services_;
    std::string loadMessage_;
    std::string exitMessage_;

    // Shell state.
    bool firstTick_ = true;
    bool splashClosed_ = false;
    bool childWindowOpen_ = false;
    bool startControlWhenShown_ = false;
    int controlSteps_ = 0;  // groups of controls made so far

    widgets::Font fieldFont_;
    TitleBar titleBar_;
    ObjectPanel panels_[engine::kObjectCount];
    SettingsArea settings_;
    widgets::EditField auxiliaryEdit_;  // Edit_Dop: takes the focus away from the fields
    ProgramTray tray_;
    widgets::TabOrder tabOrder_;
};

}  // namespace orv::ui
