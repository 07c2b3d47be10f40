// Every text of the interface that depends on the language, by role. The English and Russian texts
// live in language_table.cpp.
#pragma once

#include <cstdint>

namespace orv::lang {

enum class TextId : int32_t {
    // Main window captions, hints and tray menu.
    LanguageName,          // "English" / "Русский", shown in the language field
    LangLabel,             // "Interface", caption of Lbl_Lang (a colon follows)
    ControlHeading,        // "Control": Lbl_Title_1, and Lbl1_Title_Control with a colon
    SettingsHeading,       // "Settings"
    ObjectWord,            // "Object": Lbl1_Title_Obj with a colon; the object word in event texts
    ActionHeading,         // "Action", with a colon
    StartHintStopped,      // "Launch control"
    StartHintRunning,      // "Stop control"
    IndicatorHintStopped,  // "Control stopped"
    IndicatorHintRunning,  // "Control running"
    ResetHint,             // "Reset all settings"
    HelpHint,              // "See help file"
    WebHint,               // "Go to our website" (also tray item 3)
    MinimizeHint,          // "Minimize to tray"
    CloseHint,             // "Exit the program" (also tray item 5)
    ProgramPage,           // "Visit the program page", tray item 4
    TrayStartCaption,      // "Control: Start"
    TrayStartHint,
    TrayStopCaption,  // "Control: Stop"
    TrayStopHint,
    TrayPause15Caption,  // "Pause for 15 minutes"
    TrayPause60Caption,  // "Pause for 1 hour"
    HintShowCaption,     // "Show hints"
    HintShowHint,
    AutoRunCaption,  // "Autorun"
    AutoRunHint,
    MinFormShowCaption,  // "Auto minimization"
    MinFormShowHint,
    LogOKCaption,  // "Write the log file if changes only"
    LogOKHint,
    LogKeepCaption,  // "Keep log files"
    LogKeepHint,
    WaitFinishedCaption,  // "Wait for changes to finish"
    WaitFinishedHint,

    // Object panel hints (the (+N) ones get " N" appended by the windows).
    PanelHint,            // "Settings for thread" (+N)
    RazrHint,             // "Activity of the thread" (+N)
    TypeFieldHint,        // (+N)
    TypeButtonsHint,      // (+N)
    PathFieldHint,        // (+N)
    PathIndicatorHint,    // (+N)
    PathButtonHint,       // (+N)
    ParamFieldHint,       // "Control settings"
    ParamButtonsHint,     // "Select the monitoring option"
    StringFieldHint,      // "Controlled text"
    StringIndicatorHint,  // "Indicator of controlled text"
    ActionFieldHint,      // (+N)
    ActionButtonHint,     // (+N)

    // Names and presence texts of the object panels.
    TypeFile,
    TypeDirectory,
    TypeApplication,
    ParamAvailability,
    ParamSize,
    ParamDate,
    ParamString,
    ParamActivity,
    FilePresent,  // "This file is"
    FileAbsent,   // "File doesnt exist"
    DirectoryPresent,
    DirectoryAbsent,
    ApplicationPresent,
    ApplicationAbsent,

    // Event messages of the checks.
    FileAvailabilityTitle,
    FileAppears,
    FileAppearsAsIs,
    FileIsMissing,
    FileIsMissingStill,  // "File is missing and doesnt appear"
    FileSizeTitle,
    FileSizeIncreased,  // "File size increased to: "
    FileSizeReduced,    // "File size reduced to: "
    FileSizeUnchanged,
    FileMissingNoControl,  // "File doesnt exist, the control isnt possible"
    FileDateTitle,
    FileChanged,
    FileUnchanged,
    StringTitle,
    RepetitionsIncreased,  // "The number of repetitions increased to: "
    RepetitionsDecreased,
    RepetitionsUnchanged,
    StringFileMissing,  // "File doesnt exist, string search isnt possible"
    StringFileEmpty,    // "File is empty, string search isnt possible " (blank in English only)
    DirAvailabilityTitle,
    DirAppeared,
    DirAppearedAsIs,
    DirIsMissing,
    DirIsMissingStill,
    DirSizeTitle,
    DirSizeIncreased,
    DirSizeDecreased,
    DirSizeUnchanged,
    DirMissingNoControl,  // "Directory doesnt exist, control is impossible"
    DirDateTitle,
    DirChanged,    // "Directory has changed"
    DirUnchanged,  // "This directory hasnt changed"
    AppTitle,      // "Application activity control"
    AppActive,
    AppStillActive,
    AppClosed,
    AppStillInactive,
    AppMissingNoControl,  // "Application doesnt exist, control is impossible"
    // The path indicator's hint while an item's volume or server does not answer (no event then).
    FileUnreachable,  // "File cannot be reached right now"
    DirUnreachable,
    AppUnreachable,  // the process list was held too long
    // The path indicator's hint while a change is held until it has finished (no event yet).
    ChangeWaiting,  // "Waiting for the change to finish"

    // The tray balloon and the command line.
    MoreEvents,       // "and %N more" under the first event of a cycle; %N is the number of the others
    CommandLineHelp,  // the message box of "/?" and of an unknown switch

    // The hint of a macro indicator whose batch file WinExec cannot be given (set with the indicator).
    BatFileUnusableHint,

    // The tray icon's tip while control is paused ("Paused until" + " " + the time), and the five values
    // of the log retention field.
    PausedUntil,
    LogKeepForever,
    LogKeep1Day,
    LogKeep7Days,
    LogKeep30Days,
    LogKeep365Days,

    // Macro editor.
    MacrosTitle,
    MacroNameLabel,
    SelectedBatLabel,
    AvailableBatLabel,
    CallMethodLabel,

    Count
};

inline constexpr int kTextCount = static_cast<int>(TextId::Count);

}  // namespace orv::lang
