; Setup for Pelmora Pro: the three programs and the help page in the 64-bit
; Program Files, the service that saves the settings and starts the engine in
; every session (installed and started here, removed by the uninstaller), a
; Start-menu shortcut and an uninstaller. Everything it keeps is machine-wide, so it runs as
; administrator and writes for all users.
;
; CMake builds it and passes what it packs:
;   makensis -DVERSION=<project version> -DPMPRO=... -DPMPSTART=... -DPMPSVC=... -DPMPADDON=...
;            -DQWENET=... -DHELP=... -DICON=... -DPOLICY=<folder of the administrative template>
;            -DOUTFILE=... pelmorapro.nsi

Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!macro REQUIRE_DEFINE NAME
  !ifndef ${NAME}
    !error "Pass VERSION, PMPRO, PMPSTART, PMPSVC, PMPADDON, QWENET, HELP, ICON, POLICY and OUTFILE with -D"
  !endif
!macroend
!insertmacro REQUIRE_DEFINE VERSION
!insertmacro REQUIRE_DEFINE PMPRO
!insertmacro REQUIRE_DEFINE PMPSTART
!insertmacro REQUIRE_DEFINE PMPSVC
!insertmacro REQUIRE_DEFINE PMPADDON
!insertmacro REQUIRE_DEFINE QWENET
!insertmacro REQUIRE_DEFINE HELP
!insertmacro REQUIRE_DEFINE ICON
!insertmacro REQUIRE_DEFINE POLICY
!insertmacro REQUIRE_DEFINE OUTFILE

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Pelmora Pro"
!define PUBLISHER "Pelmora Software"
; A running engine: its hidden main window. Every window of ours has this
; class, so another program's window with the same title cannot stand in.
!define ENGINE_CLASS "PelmoraProWindow"
!define ENGINE_TITLE "Pelmora Pro 2003"
; The short-lived window of a second start; waited for up to 20 x 250 ms.
!define SECOND_START_TITLE "Pelmora Pro Setup Tool"
!define SECOND_START_WAITS 20
!define UNINSTALLER "uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define SETTINGS_KEY "SOFTWARE\${PRODUCT}"
; Where the add-item wizard finds the two add-ons: "InstallPath", the folder
; with its closing separator.
!define FILE_ADDON_KEY "${SETTINGS_KEY}\Addon"
!define WEB_ADDON_KEY "${SETTINGS_KEY}\Addon2"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define RUNONCE_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce"
!define RUNONCE_VALUE "pmpro lock startup"
!define WINLOGON_KEY "SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon"
; The service's events: the Application log's source "Pelmora Pro", whose
; texts are the message table in pmpsvc.exe (information, warning, error).
!define EVENTLOG_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\${PRODUCT}"
; The two Winlogon values as they were before the first install, kept in the
; uninstall entry so the uninstaller can undo what the start-up lock changed.
!define SAVED_LOGONTYPE "SavedLogonType"
!define SAVED_BACKGROUND "SavedBackground"
!define SAVED_BACKGROUND_PRESENT "SavedBackgroundPresent"
; Exit codes of a setup or uninstall refused: the engine runs, or the user
; is no administrator (ERROR_ELEVATION_REQUIRED).
!define EXIT_ENGINE_RUNNING 2
!define EXIT_NOT_ADMINISTRATOR 740
; The service could not be installed or started; its Win32 error is shown.
!define EXIT_SERVICE_FAILED 3

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}. All rights reserved."

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; Not started from here: Setup runs as administrator, and the engine should
; run with the user's own rights.
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. It starts at every log-on; to start it now, choose ${PRODUCT} in the Start menu.$\r$\n$\r$\nStarting it while it runs opens its configuration tool, which asks for the password."
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!define HOW_TO_END "End it first: start ${PRODUCT} again from the Start menu to open its configuration tool, type the password, and choose $\"End ${PRODUCT}$\" in the Advanced menu."

; Stops with a message (and, silent, with the exit code alone) while the
; engine runs: its files are in use, and only the password may end it.
; Waits for a second start to end: it lives about a second to hand the
; running copy its request, and its file is in use until then.
; Refuses a user without administrator rights (UAC off, or declined):
; nothing machine-wide could be written.
!macro DEFINE_START_CHECKS PREFIX WHAT AGAIN
  Function ${PREFIX}RequireAdministrator
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is installed for all users of this computer, which needs administrator rights.$\r$\n$\r$\nRun it again as an administrator." /SD IDOK
      SetErrorLevel ${EXIT_NOT_ADMINISTRATOR}
      Quit
    ${EndIf}
  FunctionEnd

  Function ${PREFIX}RefuseWhileRunning
    FindWindow $0 "${ENGINE_CLASS}" "${ENGINE_TITLE}"
    ${If} $0 <> 0
      MessageBox MB_OK|MB_ICONEXCLAMATION "${WHAT}$\r$\n$\r$\n${HOW_TO_END}$\r$\n$\r$\n${AGAIN}" /SD IDOK
      SetErrorLevel ${EXIT_ENGINE_RUNNING}
      Quit
    ${EndIf}
  FunctionEnd

  Function ${PREFIX}WaitForSecondStart
    StrCpy $1 0
    ${Do}
      FindWindow $0 "${ENGINE_CLASS}" "${SECOND_START_TITLE}"
      ${If} $0 = 0
      ${OrIf} $1 >= ${SECOND_START_WAITS}
        ${Break}
      ${EndIf}
      Sleep 250
      IntOp $1 $1 + 1
    ${Loop}
  FunctionEnd
!macroend
!insertmacro DEFINE_START_CHECKS "" "${PRODUCT} is running, so Setup cannot replace its files." "Then run Setup again."
!insertmacro DEFINE_START_CHECKS "un." "${PRODUCT} is running and cannot be removed." "Then run the uninstaller again."

Function .onInit
  SetRegView 64
  SetShellVarContext all
  Call RequireAdministrator
  Call RefuseWhileRunning
  Call WaitForSecondStart
FunctionEnd

; Notes "LogonType" and "Background" as they are now, once: a later setup
; over an installed copy would find them already changed by the engine.
Function SaveWinlogonValues
  ClearErrors
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "${SAVED_LOGONTYPE}"
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  ClearErrors
  ReadRegDWORD $0 HKLM "${WINLOGON_KEY}" "LogonType"
  ${If} ${Errors}
    StrCpy $0 "absent"
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "${SAVED_LOGONTYPE}" "$0"
  ClearErrors
  ReadRegStr $0 HKLM "${WINLOGON_KEY}" "Background"
  ${If} ${Errors}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${SAVED_BACKGROUND_PRESENT}" 0
  ${Else}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${SAVED_BACKGROUND_PRESENT}" 1
    WriteRegStr HKLM "${UNINSTALL_KEY}" "${SAVED_BACKGROUND}" "$0"
  ${EndIf}
FunctionEnd

Section "${PRODUCT}"
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; An upgrade: the running service holds its file until it is stopped.
  ${If} ${FileExists} "$INSTDIR\pmpsvc.exe"
    ExecWait '"$INSTDIR\pmpsvc.exe" /uninstall'
  ${EndIf}
  File "/oname=pmpro.exe" "${PMPRO}"
  File "/oname=pmpstart.exe" "${PMPSTART}"
  File "/oname=pmpsvc.exe" "${PMPSVC}"
  File "/oname=pmpaddon.exe" "${PMPADDON}"
  File "/oname=qwenet.exe" "${QWENET}"
  File "/oname=pmpro.htm" "${HELP}"
  ; The administrative template, for an administrator to copy into the
  ; central store or to give to Intune.
  SetOutPath "$INSTDIR\PolicyDefinitions"
  File "${POLICY}/PelmoraPro.admx"
  SetOutPath "$INSTDIR\PolicyDefinitions\en-US"
  File "${POLICY}/en-US/PelmoraPro.adml"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${FILE_ADDON_KEY}\Settings" "InstallPath" "$INSTDIR\"
  WriteRegStr HKLM "${WEB_ADDON_KEY}\Settings" "InstallPath" "$INSTDIR\"
  ; Before the service starts, so its first events have their texts.
  WriteRegExpandStr HKLM "${EVENTLOG_KEY}" "EventMessageFile" "$INSTDIR\pmpsvc.exe"
  WriteRegDWORD HKLM "${EVENTLOG_KEY}" "TypesSupported" 7
  ; Before the service starts: with settings kept from an earlier
  ; installation and the start-up lock on, its start arms the lock.
  Call SaveWinlogonValues
  ; The service gives the folder its rules (users read and run, nothing
  ; more), then registers itself and starts.
  ExecWait '"$INSTDIR\pmpsvc.exe" /install' $0
  ${If} $0 <> 0
    MessageBox MB_OK|MB_ICONSTOP "The ${PRODUCT} Service, which saves the settings, could not be installed (error $0)." /SD IDOK
    SetErrorLevel ${EXIT_SERVICE_FAILED}
  ${EndIf}

  ; The service starts the engine in every session, and again when it is
  ; ended; an earlier version's log-on start would make a second copy.
  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\pmpro.exe" "" "$INSTDIR\pmpro.exe" 0 SW_SHOWNORMAL "" "Open ${PRODUCT}, or its configuration tool while it runs"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pmpro.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
  Call un.RequireAdministrator
  Call un.RefuseWhileRunning
FunctionEnd

; Undoes what the start-up lock did to Winlogon ("LogonType" set to 0,
; "Background" deleted), and only that: a value someone set otherwise since
; stays as it is.
Function un.RestoreWinlogonValues
  ClearErrors
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "${SAVED_LOGONTYPE}"
  ${If} ${Errors}
    Return
  ${EndIf}
  ClearErrors
  ReadRegDWORD $1 HKLM "${WINLOGON_KEY}" "LogonType"
  ${IfNot} ${Errors}
  ${AndIf} $1 == 0
  ${AndIf} $0 != "0"
    ${If} $0 == "absent"
      DeleteRegValue HKLM "${WINLOGON_KEY}" "LogonType"
    ${Else}
      WriteRegDWORD HKLM "${WINLOGON_KEY}" "LogonType" $0
    ${EndIf}
  ${EndIf}

  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "${SAVED_BACKGROUND_PRESENT}"
  ${If} $0 == 1
    ClearErrors
    ReadRegStr $1 HKLM "${WINLOGON_KEY}" "Background"
    ${If} ${Errors}
      ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "${SAVED_BACKGROUND}"
      WriteRegStr HKLM "${WINLOGON_KEY}" "Background" "$0"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; Again: the engine may have started while the confirmation page was up.
  Call un.RefuseWhileRunning
  Call un.WaitForSecondStart

  ; The service first: it holds its own file while it runs.
  ExecWait '"$INSTDIR\pmpsvc.exe" /uninstall'
  ; A program file still in use goes when Windows next starts.
  Delete /REBOOTOK "$INSTDIR\pmpro.exe"
  Delete /REBOOTOK "$INSTDIR\pmpstart.exe"
  Delete /REBOOTOK "$INSTDIR\pmpsvc.exe"
  Delete /REBOOTOK "$INSTDIR\pmpaddon.exe"
  Delete /REBOOTOK "$INSTDIR\qwenet.exe"
  ; The events written stay in the log; without the source's entry the
  ; Event Viewer no longer shows their texts.
  DeleteRegKey HKLM "${EVENTLOG_KEY}"
  Delete "$INSTDIR\pmpsvc.journal"
  Delete "$INSTDIR\pmpro.htm"
  Delete "$INSTDIR\PolicyDefinitions\en-US\PelmoraPro.adml"
  RMDir "$INSTDIR\PolicyDefinitions\en-US"
  Delete "$INSTDIR\PolicyDefinitions\PelmoraPro.admx"
  RMDir "$INSTDIR\PolicyDefinitions"
  Delete "${SHORTCUT}"
  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  DeleteRegValue HKLM "${RUNONCE_KEY}" "${RUNONCE_VALUE}"
  Call un.RestoreWinlogonValues
  ; The add-ons go with the program, kept settings or not.
  DeleteRegKey HKLM "${FILE_ADDON_KEY}"
  DeleteRegKey HKLM "${WEB_ADDON_KEY}"

  ; The passwords and locked items, and the export file made from them.
  ; Asked only when there are settings to keep.
  ClearErrors
  EnumRegKey $0 HKLM "${SETTINGS_KEY}" 0
  ${If} ${Errors}
    DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  ${Else}
    MessageBox MB_YESNO|MB_ICONQUESTION "Keep the ${PRODUCT} settings (passwords and locked items) for a later installation?" /SD IDYES IDYES settings_kept
    DeleteRegKey HKLM "${SETTINGS_KEY}"
    Delete "$INSTDIR\PMExport.txt"
  settings_kept:
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: a picture or export file of the owner's stays.
  RMDir /REBOOTOK "$INSTDIR"
  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONINFORMATION "A ${PRODUCT} file was still in use; Windows removes it when it next starts." /SD IDOK
  ${EndIf}
SectionEnd
