// The main window TfmMain: the skinned frame with its title, the eight object panels, the settings
// area with the five option boxes, the language selector, the start and reset buttons, the start
// indicator, the title-bar buttons and the tray icon with its menu. Its 100 ms work timer lights the
// buttons under the cursor and paints the two large buttons; the scan thread's display updates reach
// it through a queue that it drains on the user-interface thread.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/control_pause.h"
#include "engine/display_queue.h"
#include "engine/engine.h"
#include "lang/apply.h"
#include "lang/language.h"
#include "macros/macro_table.h"
#include "settings/startup.h"
#include "ui/log_keep_field.h"
#include "ui/object_panel.h"
#include "widgets/edit_field.h"
#include "widgets/hints.h"
#include "widgets/indicator.h"
#include "widgets/keyboard.h"
#include "widgets/label.h"
#include "widgets/large_button.h"
#include "widgets/panel.h"
#include "widgets/picture_button.h"
#include "widgets/pictures.h"
#include "widgets/skinned_window.h"
#include "widgets/tray.h"

namespace orv::ui {

// The tray menu's items: start, stop, two pauses, two web pages, exit.
inline constexpr int kTrayItems = 7;

// The message the scan thread's updates announce themselves with.
inline constexpr UINT kDisplayMessage = WM_APP;

// The message a second start of the program posts to the running program's main window: come back to
// the front. Registered, so that it means the same in every process.
UINT ComeToFrontMessage();

// The hand-off of display updates: the engine publishes into the queue (on any thread), the queue
// posts one message to the main window, which drains it in order. Made before the engine, which
// publishes into it; the window is attached when it exists.
class DisplayHandOff {
  public:
    DisplayHandOff();
    engine::DisplaySink* Sink() { return &queue_; }
    void Attach(HWND window) { window_.store(window); }
    std::vector<engine::DisplayUpdate> Drain() { return queue_.Drain(); }

  private:
    std::atomic<HWND> window_{nullptr};
    engine::DisplayQueue queue_;
};

// Everything the main window works with. The program passes its own; tests pass scratch keys and
// temporary folders through the state and catch what would leave the program.
struct MainWindowServices {
    engine::Engine* engine = nullptr;
    settings::ProgramState* state = nullptr;
    lang::LanguageState* language = nullptr;
    macros::MacroTable* macros = nullptr;
    const widgets::ProgramPictures* pictures = nullptr;
    widgets::Hints* hints = nullptr;
    DisplayHandOff* display = nullptr;
    // The key the language switch writes "Languare" to.
    std::string programKey = std::string(reg::kProgramKey);
    // The folder the help files lie in (the executable's, ending in a separator).
    std::string programFolder;
    // Opens a document or address with the shell's default action (ShellExecuteW when empty).
    std::function<void(HWND owner, const std::string& target, int showCommand)> shellOpen;
    // Shows an error message of the system's kind (a message box when empty).
    std::function<void(const std::string&)> showMessage;
    // Puts up a balloon over the tray icon (the tray icon's own when empty).
    std::function<void(const std::string& title, const std::string& text)> showBalloon;
    // Where the work timer reads the cursor (the system's cursor position when empty).
    std::function<POINT()> cursorPosition;
    // The system's clock, which ends a pause of control (std::chrono::system_clock when empty).
    std::function<engine::ControlPause::Clock::time_point()> now;
    // The browse dialog of the object panels (BrowseForItem when empty).
    std::function<std::optional<BrowseChoice>(HWND, ObjectType)> browse;
};

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

// The option boxes of the settings area.
inline constexpr int kOptionBoxes = 5;

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

    // --- Handlers ---
    void Timer_WorkTimer();
    void Sb_StartClick();
    void Sb_ResetClick();
    void Sb_MinClick();
    void TrayIconDblClick();
    void Sb_CloseClick();
    void Sb_HelpClick();
    void Sb_InternetClick();
    void Sb_Lang_UpClick();
    void Sb_Lang_DownClick();
    void TrayMenu_1Click();
    void TrayMenu_2Click();
    void TrayMenu_3Click();
    void TrayMenu_4Click();
    void TrayMenu_5Click();
    void TrayMenu_6Click();  // pause for 15 minutes
    void TrayMenu_7Click();  // pause for 1 hour
    void Cb_HintShowClick();
    void Cb_AutoRunClick();
    void Cb_MinFormShowClick();
    void Cb_LogOKClick();
    void Cb_WaitFinishedClick();
    void Sb_StartMouseDown(widgets::MouseButton button);
    void Sb_StartMouseUp(widgets::MouseButton button);
    void Sb_ResetMouseDown(widgets::MouseButton button);
    void Sb_ResetMouseUp(widgets::MouseButton button);

    // --- Routines ---
    void ApplyLanguage();
    void ShowOptionBoxes();
    void UpdateMacroIndicators();
    // Applies every display update the scan thread has handed over, in order.
    void DrainDisplayUpdates();

    // A second start of the program asked for this window: back from the tray (or from the taskbar when
    // minimised), in front of other windows; an open splash or macro editor comes to the front instead.
    void ComeToFront();

    // --- Set by the other windows ---
    void SplashClosed() { splashClosed_ = true; }
    void SetChildWindowOpen(bool open) { childWindowOpen_ = open; }

    // --- What the window shows (the tests read these) ---
    ObjectPanel& Panel(int number) { return panels_[number - 1]; }
    widgets::PictureButton& TitleButton(int index) { return titleButtons_[index]; }  // help, web, min, close
    widgets::PictureButton& LangUp() { return langUp_; }
    widgets::PictureButton& LangDown() { return langDown_; }
    // min, autorun, hints, log, wait
    widgets::PictureButton& OptionBox(int index) { return optionBoxes_[index]; }
    widgets::LargeButton& StartButton() { return start_; }
    widgets::LargeButton& ResetButton() { return reset_; }
    Colour StartIndicatorColour() const { return indicatorStart_.GetColour(); }
    widgets::TrayIcon& Tray() { return tray_; }
    std::string LanguageField() const;
    HWND LanguageFieldHandle() const { return langField_.Handle(); }
    // The caption or hint a control shows now ("" when it has none).
    std::string CaptionOf(lang::MainControl control) const;
    std::string HintOf(lang::MainControl control) const;
    bool FirstTickPending() const { return firstTick_; }
    bool ChildWindowOpen() const { return childWindowOpen_; }
    bool InTray() const { return tray_.Active(); }
    const engine::ControlPause& Pause() const { return pause_; }
    LogKeepField& LogKeep() { return logKeep_; }

    const widgets::TabOrder& TabOrderOfControls() const { return tabOrder_; }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnWindowKey(UINT key, bool shift, HWND focus) override;

  private:
    static constexpr int kControlSteps = engine::kObjectCount + 2;
    void MakeFrameControls();
    void MakePanel(int number);
    void MakeSettingsArea();
    // Each control that shows a language text under its role, once the controls exist.
    void MapControls();
    void SetCaption(lang::MainControl control, const std::string& text);
    void StopControlIfRunning();
    void StepLogKeepDays(int step);
    void PauseControl(std::chrono::minutes length);
    void CancelPause();
    void ResumeWhenPauseEnds();
    void ShowPauseTip();
    engine::ControlPause::Clock::time_point Now() const;
    void OpenMacroEditor(int number);
    void PlaceAtStart();
    void OpenInShell(const std::string& target, int showCommand);
    void ShowError(const std::string& text);
    void NotifyEvents(const std::vector<std::string>& events);
    void SaveAtExit();
    POINT WindowOrigin() const;

    MainWindowServices services_;
    std::string loadMessage_;
    std::string exitMessage_;

    // Shell state.
    bool firstTick_ = true;
    bool splashClosed_ = false;
    bool childWindowOpen_ = false;
    bool startPressed_ = false;
    bool resetPressed_ = false;
    bool panelsFilled_ = false;
    bool startControlWhenShown_ = false;
    int controlSteps_ = 0;  // groups of controls made so far

    widgets::Font fieldFont_;
    widgets::Picture indicatorFill_;
    widgets::Picture langFill_;

    widgets::Label titleName_, title1_, title2_;
    widgets::Label columnNumber_, columnObject_, columnControl_, columnAction_;
    widgets::Label langLabel_;
    widgets::Label optionLabels_[kOptionBoxes];
    widgets::PictureButton titleButtons_[4];
    widgets::PictureButton optionBoxes_[kOptionBoxes];
    widgets::Panel indicatorPanel_, langPanel_;
    widgets::Indicator indicatorStart_;
    widgets::EditField langField_;
    widgets::EditField auxiliaryEdit_;  // Edit_Dop: takes the focus away from the fields
    widgets::PictureButton langUp_, langDown_;
    widgets::LargeButton start_, reset_;
    ObjectPanel panels_[engine::kObjectCount];
    LogKeepField logKeep_;
    widgets::TrayIcon tray_;
    engine::ControlPause pause_;
    widgets::TabOrder tabOrder_;

    // The controls by the role whose language text they show; labels also as labels, for their
    // captions. The tray menu's items have no window: the menu keeps their captions, trayHints_ their
    // hints.
    static constexpr size_t kMainControls = static_cast<size_t>(lang::MainControl::Count);
    std::array<HWND, kMainControls> controls_{};
    std::array<widgets::Label*, kMainControls> labels_{};
    std::array<std::string, kTrayItems> trayHints_;
};

}  // namespace orv::ui
