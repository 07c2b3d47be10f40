// Texts that are the same in both interface languages: they are not in the language tables.
#pragma once

#include <string>
#include <string_view>

namespace orv::lang {

// The number of control objects, each with its row on the main window and its macro; the texts name
// them 1 to 8.
inline constexpr int kObjectCount = 8;

// The program's name: the title label, the tray icon's hint and the tray menu's caption.
inline constexpr std::string_view kProgramName = "Orvanter";

// The word after the time in the header line of every log file.
inline constexpr std::string_view kLogHeaderWord = "Утилита Orvanter";

// The number column heading over the enable boxes (`Lbl1_Title_Num`).
inline constexpr std::string_view kNumberColumnHeading = "№:";

// The labels of the three call methods, by `CallMethod` (0, 1, 2).
inline constexpr std::string_view kCallMethodLabels[] = {"WinExec", "ShellExecute", "CreateProcess"};

// A macro's BAT file when none has been chosen (also stored so in the registry).
inline constexpr std::string_view kNotSelected = "Not Selected";
// The macro editor's selected-file field and list when the BAT folder holds no batch file.
inline constexpr std::string_view kFileNotFound = "File not found";

// Macro N's default name is "Macros_" followed by N.
inline constexpr std::string_view kMacroNamePrefix = "Macros_";
inline std::string DefaultMacroName(int number) {
    return std::string(kMacroNamePrefix) + std::to_string(number);
}

// Hints of the BAT-file indicators.
inline constexpr std::string_view kBatFileOk = "BAT-file OK";
inline constexpr std::string_view kBatFileNotSelected = "BAT-file not Selected";
inline constexpr std::string_view kBatFileNotFound = "BAT-file not found";

}  // namespace orv::lang
