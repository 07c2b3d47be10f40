; Orvanter's installer: for the current user only, without elevation, into the user's own programs
; folder, where the program may write its Log\ and Bat\ folders beside itself.
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 -DSOURCE=<program folder> -DICON=<.ico> -DOUTFILE=<setup.exe>
;            -DPRODUCT_CODE=Orvanter Orvanter.nsi

!ifndef VERSION
  !error "VERSION must be given with -D"
!endif
!ifndef SOURCE
  !error "SOURCE must be given with -D"
!endif
!ifndef ICON
  !error "ICON must be given with -D"
!endif
!ifndef OUTFILE
  !error "OUTFILE must be given with -D"
!endif
; The name of the Uninstall key, which the package managers know the installation by.
!ifndef PRODUCT_CODE
  !error "PRODUCT_CODE must be given with -D"
!endif

Unicode true
; The program is a 64-bit executable: so is its installer.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Orvanter"
!define PUBLISHER "Keldrastic"
!define SETTINGS_KEY "SoftWare\Keldrastic\Orvanter"
!define MAKER_KEY "SoftWare\Keldrastic"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT_CODE}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The main window's class and title: closing that window is the program's orderly exit.
!define WINDOW_CLASS "TfmMain"
!define WINDOW_TITLE "Orvanter"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the program already is (an installation made with /D= included); /D= still wins.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
; A file that cannot be replaced (the program started again after it was closed) fails the setup instead
; of being skipped: skipped, the old program would stay while the Apps entry named the new version.
AllowSkipFiles off
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include WordFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Orvanter.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The installer speaks the user's language when it is Russian, English otherwise.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

LangString StillRunning ${LANG_ENGLISH} "Orvanter is still running and did not close. Close it, then choose Retry; or choose Cancel."
LangString StillRunning ${LANG_RUSSIAN} "Orvanter всё ещё работает и не закрылся. Закройте его и нажмите «Повтор» или нажмите «Отмена»."
LangString RemoveSettings ${LANG_ENGLISH} "Also remove Orvanter's settings, watched items and macros (registry) and its log files?$\r$\n$\r$\nChoose No to keep them for a later installation."
LangString RemoveSettings ${LANG_RUSSIAN} "Удалить также настройки Orvanter, объекты контроля и макросы (реестр) и его файлы журнала?$\r$\n$\r$\nНажмите «Нет», чтобы сохранить их для следующей установки."

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} setup"

; Closes a running Orvanter the way its own close button does, so that it saves its settings and
; baselines, and waits until its executable is free. Never ends it by force: when it does not close,
; the user is asked (the silent mode gives up, and the setup fails).
!macro CLOSE_RUNNING_PROGRAM un
Function ${un}CloseRunningProgram
  retry:
  FindWindow $0 "${WINDOW_CLASS}" "${WINDOW_TITLE}"
  ${If} $0 <> 0
    DetailPrint "Closing ${PRODUCT}..."
    ; Posted, not sent: a busy program must not hold up the setup.
    System::Call "user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)"
  ${EndIf}
  ; The window goes once the program has saved; the executable is free once the process has ended.
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${WINDOW_CLASS}" "${WINDOW_TITLE}"
    ${If} $0 = 0
      ${IfNot} ${FileExists} "$INSTDIR\Orvanter.exe"
        ${ExitDo}
      ${EndIf}
      ClearErrors
      FileOpen $2 "$INSTDIR\Orvanter.exe" a
      ${IfNot} ${Errors}
        FileClose $2
        ${ExitDo}
      ${EndIf}
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 > 120
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
      Abort
    ${EndIf}
    Sleep 250
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_PROGRAM ""
!insertmacro CLOSE_RUNNING_PROGRAM "un."

Section "${PRODUCT}" ProgramSection
  SectionIn RO
  Call CloseRunningProgram

  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${SOURCE}\Orvanter.exe"
  File "${SOURCE}\Help_e.txt"
  File "${SOURCE}\Help_r.txt"
  File "${SOURCE}\ReadMe.txt"
  ; Bat\ holds the user's own batch files: the sample is added only where it is missing, and Log\ is
  ; never touched.
  SetOutPath "$INSTDIR\Bat"
  SetOverwrite off
  File "${SOURCE}\Bat\sample.bat"
  SetOverwrite on
  ; The shortcut starts the program in its own folder.
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext current
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Orvanter.exe" "" "$INSTDIR\Orvanter.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Orvanter.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; In kilobytes, the program's files without the user's logs.
  ${GetSize} "$INSTDIR" "/M=*.* /S=0K /G=0" $0 $1 $2
  ${GetSize} "$INSTDIR\Bat" "/S=0K" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The program the command of a start-up entry starts: the text between the quotes when it begins with
; one, else the whole command; blanks around it do not count. In: the command on the stack; out: $R0.
Function un.ProgramOfCommand
  Exch $R0
  Push $R1
  ; Leading and trailing blanks.
  ${Do}
    StrCpy $R1 $R0 1
    ${If} $R1 != " "
      ${ExitDo}
    ${EndIf}
    StrCpy $R0 $R0 "" 1
  ${Loop}
  ${Do}
    StrCpy $R1 $R0 1 -1
    ${If} $R1 != " "
      ${ExitDo}
    ${EndIf}
    StrCpy $R0 $R0 -1
  ${Loop}
  StrCpy $R1 $R0 1
  ${If} $R1 == '"'
    StrCpy $R0 $R0 "" 1
    ${WordFind} $R0 '"' "+1{" $R1
    StrCpy $R0 $R1
  ${EndIf}
  Pop $R1
  Exch $R0
FunctionEnd

; True ($R0 = 1) when the file name on the stack is one the program gives its log files: the time of day
; with its ':' made '.', then ".log" ("14.05.33.log", "2.05.33 PM.log"): two or three groups of one or
; two digits joined by dots, with a day-period designator (no digits) before or after them.
Function un.IsLogName
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  StrCpy $R1 $R0 "" -4
  StrCpy $R0 $R0 -4
  StrCpy $R2 0  ; groups ended
  StrCpy $R3 0  ; digits in the group being read
  StrCpy $R4 0  ; 0 before the digits, 1 in them, 2 after them
  ${If} $R1 != ".log"
    StrCpy $R4 3
  ${EndIf}
  ${Do}
    StrCpy $R1 $R0 1
    StrCpy $R0 $R0 "" 1
    ${If} $R1 == ""
    ${OrIf} $R4 = 3
      ${ExitDo}
    ${EndIf}
    ${If} $R1 S>= "0"
    ${AndIf} $R1 S<= "9"
      ${If} $R4 = 2
        StrCpy $R4 3
      ${Else}
        StrCpy $R4 1
        IntOp $R3 $R3 + 1
      ${EndIf}
    ${ElseIf} $R4 = 1
      ${If} $R3 = 0
      ${OrIf} $R3 > 2
        StrCpy $R4 3
      ${ElseIf} $R1 == "."
        IntOp $R2 $R2 + 1
        StrCpy $R3 0
      ${Else}
        IntOp $R2 $R2 + 1
        StrCpy $R3 0
        StrCpy $R4 2
      ${EndIf}
    ${EndIf}
  ${Loop}
  ${If} $R4 = 1
  ${AndIf} $R3 > 0
  ${AndIf} $R3 < 3
    IntOp $R2 $R2 + 1
    StrCpy $R4 2
  ${EndIf}
  ${If} $R4 = 2
  ${AndIf} $R2 >= 2
  ${AndIf} $R2 <= 3
    StrCpy $R0 1
  ${Else}
    StrCpy $R0 0
  ${EndIf}
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; The log files the program wrote into Log\, and nothing else of that folder.
Function un.DeleteLogFiles
  FindFirst $0 $1 "$INSTDIR\Log\*.log"
  ${DoWhile} $1 != ""
    Push $1
    Call un.IsLogName
    Pop $2
    ${If} $2 = 1
      Delete "$INSTDIR\Log\$1"
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
FunctionEnd

; True ($R0 = 1) when the two files on the stack hold the same bytes.
Function un.SameFiles
  Exch $R1
  Exch
  Exch $R0
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  StrCpy $R5 0
  ClearErrors
  FileOpen $R2 $R0 r
  FileOpen $R3 $R1 r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileReadByte $R2 $R0
      ${If} ${Errors}
        ; The first file ends: the same when the second ends there too.
        ClearErrors
        FileReadByte $R3 $R1
        ${If} ${Errors}
          StrCpy $R5 1
        ${EndIf}
        ${ExitDo}
      ${EndIf}
      FileReadByte $R3 $R4
      ${If} ${Errors}
      ${OrIf} $R0 <> $R4
        ${ExitDo}
      ${EndIf}
    ${Loop}
  ${EndIf}
  FileClose $R2
  FileClose $R3
  StrCpy $R0 $R5
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningProgram

  ; A start-up entry that names the removed program would start nothing at every logon. The program
  ; writes its path in quotes; a user may have written it without them, or in another case.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  Push $0
  Call un.ProgramOfCommand
  Pop $0
  ${If} $0 == "$INSTDIR\Orvanter.exe"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}

  Delete "$INSTDIR\Orvanter.exe"
  Delete "$INSTDIR\Help_e.txt"
  Delete "$INSTDIR\Help_r.txt"
  Delete "$INSTDIR\ReadMe.txt"
  ; The user's own batch files stay, and so does a sample the user has changed: it goes only when it
  ; is byte for byte the one this setup brought. The folder goes when nothing else is in it.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\sample.bat" "${SOURCE}\Bat\sample.bat"
  Push "$INSTDIR\Bat\sample.bat"
  Push "$PLUGINSDIR\sample.bat"
  Call un.SameFiles
  Pop $0
  ${If} $0 = 1
    Delete "$INSTDIR\Bat\sample.bat"
  ${EndIf}
  RMDir "$INSTDIR\Bat"

  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; Settings and logs are the user's: kept unless the user says otherwise (always kept when silent).
  ; Only the program's own log files go: the folder may be one the user had before.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveSettings)" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
    Call un.DeleteLogFiles
  keep:
  RMDir "$INSTDIR\Log"

  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
