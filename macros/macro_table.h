// The eight macros: their storage under the program's Macros key, the Bat folder their batch files
// come from, starting them, and the working state the macro editor shares with the launches.
//
// One table lives for the whole run. The scan thread starts macros from it (RunMacro) while the
// user-interface thread edits it, so every field is guarded by the table's own mutex and no launch
// runs under it.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "lang/constants.h"
#include "lang/language.h"
#include "macros/macro_launch.h"
#include "platform/colour.h"
#include "platform/registry.h"

namespace orv::macros {

// One macro per control object.
using lang::kObjectCount;

struct MacroSlot {
    std::string name;
    std::string batFile;  // a bare file name in the Bat folder, or "Not Selected"
    CallMethod callMethod = kMethodWinExec;
    friend bool operator==(const MacroSlot&, const MacroSlot&) = default;
};

// "Macros_N", "Not Selected", WinExec.
MacroSlot DefaultMacroSlot(int number);

// Registry value names of macro N: "Macros_N_Name", "Macros_N_File_BAT", "Macros_N_Regime_BAT".
std::string NameValueName(int number);
std::string FileValueName(int number);
std::string MethodValueName(int number);

inline constexpr Colour kBatFileOkColour = kSilverColour;
inline constexpr Colour kBatFileNotSelectedColour = Rgb(0, 128, 0);
inline constexpr Colour kBatFileNotFoundColour = kActiveColour;

// What the main window's BAT-file indicator of a macro shows.
struct MacroIndicator {
    std::string_view hint;
    Colour colour;
    friend bool operator==(const MacroIndicator&, const MacroIndicator&) = default;
};

// The indicator for a macro whose BAT file is `batFile`: the file exists in the Bat folder -> OK
// (silver); exactly "Not Selected" -> not selected (green); anything else -> not found (red). A name
// that is not a bare file name never counts as existing.
MacroIndicator BatFileIndicator(std::string_view batFolder, std::string_view batFile);
// The indicator of a file that exists but that WinExec cannot be given (red, with a hint that says
// why, in the language of `texts`).
MacroIndicator UnusableBatFileIndicator(const lang::LanguageTable& texts);

// The macro editor's working state: the macro being edited (1 to 8, 0 for none), the method its
// boxes show and the BAT file last loaded from that macro's slot.
struct WorkingState {
    int currentMacro = 0;
    CallMethod workingMethod = kMethodWinExec;
    std::string workingBatFile;
    friend bool operator==(const WorkingState&, const WorkingState&) = default;
};

class MacroTable {
  public:
    // `batFolder` ends with a separator; the program passes DefaultBatFolder(). The slots start with
    // their defaults until Load.
    explicit MacroTable(std::string batFolder, Launcher launcher = SystemLauncher());
    MacroTable(const MacroTable&) = delete;
    MacroTable& operator=(const MacroTable&) = delete;

    // The executable's folder followed by "Bat" and the separator.
    static std::string DefaultBatFolder();

    const std::string& BatFolder() const { return batFolder_; }

    // Creates the key under `keyPath` when it is missing (writing no value) and reads its 24 values
    // (macro 1 to 8: name, BAT file, call method). A missing value, or a key that cannot be opened,
    // gives the default; so does a value that cannot be read or has another
    // registry type, and loading goes on with the next value. Returns the names of the values that
    // were present but unreadable, in reading order, for the "Invalid data type" message.
    // CurrentMacro is 0 afterwards.
    std::vector<std::string> Load(std::string_view keyPath = reg::kMacrosKey);

    // Sets CurrentMacro to 0 and writes all 24 values under `keyPath` (creating the key), changed or
    // not. A value that cannot be written does not stop the others. Returns the names of the values
    // that were not written, in writing order (all of them when the key cannot be opened), for the
    // "Failed to set data" message; `keyOpened` tells whether the key itself could be opened.
    std::vector<std::string> Save(std::string_view keyPath = reg::kMacrosKey, bool* keyOpened = nullptr);

    // Macro `number` (1 to 8); a number outside gives an empty slot.
    MacroSlot Slot(int number) const;
    std::array<MacroSlot, kObjectCount> Slots() const;
    // False (and nothing changed) for a number outside 1 to 8.
    bool SetSlot(int number, MacroSlot slot);

    // The BAT-file indicator of macro `number`, looked up in the Bat folder now. A file that exists
    // but whose path WinExec cannot carry, for a macro started by WinExec, is shown as unusable with
    // the hint in `language`.
    MacroIndicator Indicator(int number, int32_t language = lang::kEnglish) const;

    // Starts macro `number` with `environment` (the variables of the event that started it) over the
    // program's own (the action step calls it on the scan thread). The slot is read as one
    // consistent copy. While the editor is closed the launch also becomes the editor's working state
    // (CurrentMacro, WorkingMethod, WorkingBatFile); while it is open the working state belongs to the
    // user and is left alone. Never waits, never reports; a number outside 1 to 8 does nothing.
    void RunMacro(int number, const launch::Environment& environment = {}) noexcept;

    // The editor's Run: starts BatFolder + WorkingBatFile by WorkingMethod, telling the batch file the
    // number of the macro being edited and no event.
    void RunWorking() noexcept;

    // The editor is being opened on macro `number`: from now on launches leave the working state
    // alone, and CurrentMacro := number.
    void BeginEditing(int number);
    // Marks the editor open without changing CurrentMacro (the editor being shown).
    void MarkEditorOpen();
    // The editor has closed.
    void EndEditing();
    bool EditorOpen() const;

    WorkingState Working() const;
    int CurrentMacro() const;
    void SetCurrentMacro(int number);
    CallMethod WorkingMethod() const;
    void SetWorkingMethod(CallMethod method);
    std::string WorkingBatFile() const;

    // WorkingMethod and WorkingBatFile := the call method and BAT file of macro CurrentMacro; nothing
    // changes when CurrentMacro is not 1 to 8.
    void LoadCurrentMacro();

  private:
    const std::string batFolder_;
    const Launcher launcher_;

    mutable std::mutex mutex_;
    std::array<MacroSlot, kObjectCount> slots_;
    WorkingState working_;
    bool editorOpen_ = false;
};

}  // namespace orv::macros
