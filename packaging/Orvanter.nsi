; Orvanter's installer: for the current user only, without elevation, into the user's own programs
; folder, where the program may write its Log\ and Bat\ folders beside itself.
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 -DSOURCE=<program folder> -DICON=<.ico> -DOUTFILE=<setup.exe> Orvanter.nsi

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
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvanter"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The main window's class and title: closing that window is the program's orderly exit.
!define WINDOW_CLASS "TfmMain"
!define WINDOW_TITLE "Orvanter"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

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

Section "Uninstall"
  Call un.CloseRunningProgram

  Delete "$INSTDIR\Orvanter.exe"
  Delete "$INSTDIR\Help_e.txt"
  Delete "$INSTDIR\Help_r.txt"
  Delete "$INSTDIR\ReadMe.txt"
  ; The user's own batch files stay; the folder goes when only the sample was in it.
  Delete "$INSTDIR\Bat\sample.bat"
  RMDir "$INSTDIR\Bat"

  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; A start-up entry that names the removed program would start nothing at every logon.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  ${If} $0 == "$INSTDIR\Orvanter.exe"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}

  ; Settings and logs are the user's: kept unless the user says otherwise (always kept when silent).
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveSettings)" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
    RMDir /r "$INSTDIR\Log"
  keep:
  RMDir "$INSTDIR\Log"

  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
