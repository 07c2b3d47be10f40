// The macro editor window TfmMacros: a borderless, skinned window shown modally over the main window
// for one macro at a time. Its logic lives in MacroEditorModel; this window wires the model to its
// controls and draws the four large buttons (Apply, Reset, Run, Close) from its 100 ms timer.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lang/apply.h"
#include "lang/language.h"
#include "macros/macro_editor_model.h"
#include "macros/macro_table.h"
#include "widgets/edit_field.h"
#include "widgets/gdi.h"
#include "widgets/hover.h"
#include "widgets/label.h"
#include "widgets/large_button.h"
#include "widgets/list_box.h"
#include "widgets/modal.h"
#include "widgets/panel.h"
#include "widgets/picture_button.h"
#include "widgets/pictures.h"
#include "widgets/role_map.h"

namespace orv::macros {

// The four large buttons, in the order the timer draws them.
enum class EditorButton { Apply = 0, Reset = 1, Run = 2, Close = 3 };
inline constexpr int kLargeButtonCount = 4;
// Their left edges in the window; all sit at the same top.
inline constexpr std::array<int, kLargeButtonCount> kLargeButtonLefts{20, 200, 380, 616};
inline constexpr int kLargeButtonTop = 460;
// The editor's place on the screen: one pixel right of the main window's left edge, 60 from the top.
inline constexpr int kEditorLeftOffset = 1;
inline constexpr int kEditorTop = 60;

// The picture of a large button in BitmapList_Macros: the Russian set for language 1, the English set
// for any other value; pressed only while hovered with its pressed flag set, hover while hovered, else
// normal.
int LargeButtonPicture(EditorButton button, int32_t language, bool hovered, bool pressed);

// The editor's controls, for the tests.
enum class EditorControl {
    Edit_Macros_Name,
    Edit_BAT_File,
    ListBoxt_BAT_File,
    Img_BAT_File_Fon,
    Sb_BAT_File_Up,
    Sb_BAT_File_Down,
    Sb_Apple,
    Sb_Reset,
    Sb_Run,
    Sb_Close,
    Cb_Macros_Regime_BAT_1,
    Cb_Macros_Regime_BAT_2,
    Cb_Macros_Regime_BAT_3,
    Lbl_Macros_Regime_BAT_1,
    Lbl_Macros_Regime_BAT_2,
    Lbl_Macros_Regime_BAT_3,
    Lbl_Title_1,
    Lbl1,
    Lbl2,
    Lbl3,
    Lbl4,
    Count
};

class MacroEditorWindow : public widgets::ModalWindow {
  public:
    // The window has been shown (true) or has closed (false): the main window's child-window-open flag.
    std::function<void(bool open)> onShownChanged;
    // After Apply changed a macro: the main window refreshes its macro indicators.
    std::function<void()> onApplied;
    // Where the timer reads the cursor; the system's cursor position when empty.
    std::function<POINT()> cursorPosition;

    MacroEditorWindow() = default;
    ~MacroEditorWindow() override;

    // Creates the hidden window; Timer1 runs while the window shows. The controls are made when the
    // editor first opens: most runs never open it. `table` and `pictures` must outlive the window; the
    // texts are those of `language` now, until ShowLanguage gives others.
    // CurrentMacro := 0. The editor gives its pictures back whenever it closes.
    bool Create(HINSTANCE instance, MacroTable& table, const lang::LanguageState& language,
                widgets::ProgramPictures& pictures);

    // Opens the editor on macro `macroNumber` next to `mainWindow` and returns at once (the window
    // stays open until it is closed).
    void Show(HWND mainWindow, int macroNumber);
    // The same, modally: `mainWindow` is disabled until the editor closes, and the call returns then.
    void ShowModalFor(HWND mainWindow, int macroNumber);
    bool Visible() const { return IsVisible(); }
    // Closes the window as its Close button does.
    void Hide() { Sb_CloseClick(); }

    // The language of `table`, at once: the five labels and the pictures of the four large buttons.
    // Before the first opening it is only noted; the controls take it when they are made.
    void ShowLanguage(const lang::LanguageTable& table);

    // --- Handlers, also called by the tests ---
    void Sb_AppleClick();
    void Sb_ResetClick();
    void Sb_RunClick();
    void Sb_CloseClick();
    void Sb_BAT_File_UpClick();
    void Sb_BAT_File_DownClick();
    void ListBoxt_BAT_FileClick();
    // A method box or its label: 0 WinExec, 1 ShellExecute, 2 CreateProcess.
    void Cb_Macros_Regime_BATClick(CallMethod method);
    void Timer1Timer();

    // --- For the tests ---
    // A control (null before the editor first opens).
    HWND Control(EditorControl control) const { return roles_.Handle(control); }
    // The picture each large button showed at the last tick.
    int LargeButtonShown(EditorButton button) const {
        return largeButtons_[static_cast<int>(button)].Picture();
    }
    bool LargeButtonPressed(EditorButton button) const {
        return largeButtons_[static_cast<int>(button)].LeftHeld();
    }
    // The picture of method box 0, 1 or 2 and of the arrows ("Sb_BAT_File_Up", "Sb_BAT_File_Down").
    int MethodBoxPicture(int box) const { return methodBoxes_[box].Picture(); }
    int ArrowPicture(bool next) const { return next ? down_.Picture() : up_.Picture(); }
    const MacroEditorModel& Model() const { return *model_; }
    // The caption of a label ("" for a control that is no label).
    std::string LabelText(EditorControl control) const;

  protected:
    void OnTick() override { Timer1Timer(); }
    bool OnWindowKey(UINT key, bool shift, HWND focus) override;
    void PaintContent(HDC dc) override;
    void OnOpening(HWND mainWindow) override;
    void OnShown() override;
    void OnClosing() override { FormClose(); }
    void OnHidden() override;

  private:
    // The controls, once: at the first opening.
    void MakeControls();
    void CreateControls();
    void CreateLabels();
    void CreateFileControls();
    void CreateMethodBoxes();
    void CreateLargeButtons();
    // Each control under its name, once the controls exist.
    void MapControls();
    void FormShow(HWND mainWindow);
    void FormClose();
    // One edit of the user's: what the two fields hold into the model, the model's `step`, and the
    // model's view back into the controls.
    void Edit(const std::function<void(MacroEditorModel&)>& step);
    void ShowView();
    void FitLabel(widgets::Label& label);
    // The cursor over the window at this moment; over nothing while the window is hidden.
    widgets::Hover CursorOver() const;
    void DrawLargeButtons(const widgets::Hover& hover);
    POINT Cursor() const;

    MacroTable* table_ = nullptr;
    // The texts shown (a table lives for the whole run).
    const lang::LanguageTable* texts_ = nullptr;
    int macroToOpen_ = 0;
    widgets::ProgramPictures* pictures_ = nullptr;
    std::unique_ptr<MacroEditorModel> model_;

    widgets::Label title_, lbl1_, lbl2_, lbl3_, lbl4_;
    // The labels the language texts go to, by their role.
    const std::array<widgets::Label*, lang::kControlCount<lang::EditorLabel>> languageLabels_{
        &title_, &lbl1_, &lbl2_, &lbl3_, &lbl4_};
    std::array<widgets::Label, 3> methodLabels_;
    std::array<widgets::PictureButton, 3> methodBoxes_;
    widgets::PictureButton up_, down_;
    widgets::Panel batFileFrame_;
    widgets::EditField nameField_;
    widgets::EditField batFileField_;
    widgets::ListBox list_;
    std::array<widgets::LargeButton, kLargeButtonCount> largeButtons_;

    widgets::Font smallFont_;
    widgets::Font nameFont_;

    widgets::RoleMap<EditorControl> roles_;

    bool controlsMade_ = false;
};

}  // namespace orv::macros
