// What the macro editor window does, without the window: the texts of its two fields, the list of
// batch files and its selection, the three method boxes, and Apply, Reset and Run. The window calls
// these from its handlers and copies the view into its controls afterwards.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "macros/macro_table.h"

namespace orv::macros {

struct MacroEditorView {
    std::string nameField;             // Edit_Macros_Name
    std::string batFileField;          // Edit_BAT_File
    std::vector<std::string> batList;  // ListBoxt_BAT_File, in the order the folder listed them
    int selectedEntry = -1;            // index into batList; -1 when nothing is selected
    // Cb_Macros_Regime_BAT_1 .. _3: which box shows the ticked picture.
    std::array<bool, 3> methodTicked{};
};

// Equal without regard to letter case (ASCII and Cyrillic letters), as Windows compares file names.
bool SameFileName(std::string_view left, std::string_view right);

class MacroEditorModel {
  public:
    explicit MacroEditorModel(MacroTable& table);

    const MacroEditorView& View() const { return view_; }
    // The user typed into a field.
    void SetNameField(std::string text) { view_.nameField = std::move(text); }
    void SetBatFileField(std::string text) { view_.batFileField = std::move(text); }

    // The action button of object N opens the editor on macro N.
    void OpenOn(int number);
    // Every showing of the window: the name, the working state, the list and the boxes of the current
    // macro.
    void FormShow();
    // The window has closed; unapplied edits are dropped.
    void FormClose();

    // The routines the handlers use.
    void LoadCurrentMacro();
    // Appends the names of `folder` + "*.bat" to the list in the order the folder lists them.
    void FillBatList(std::string_view folder);
    void SelectCurrentBatFile();
    void ShowSelectedBatFile();
    void ShowCallMethod();

    // Sb_BAT_File_UpClick / Sb_BAT_File_DownClick.
    void BatFileUp();
    void BatFileDown();
    // ListBoxt_BAT_FileClick on entry `index`.
    void ClickListEntry(int index);
    // A method box or its label was clicked (0, 1 or 2).
    void ChooseMethod(CallMethod method);

    // Stores the fields and the ticked method into macro CurrentMacro. True when a macro was changed;
    // the main window's macro indicators are then to be refreshed.
    bool Apply();
    // Puts the defaults into the fields and boxes; the macro itself changes only at the next Apply.
    void Reset();
    // Tries the macro: the BAT file last loaded from its slot, by the method ticked now.
    void Run();

  private:
    void SelectEntry(int index);

    MacroTable& table_;
    MacroEditorView view_;
};

}  // namespace orv::macros
