; The Zorvan installer: a per-user install that needs no administrator.
; Built by scripts/make-dist, which gives:
;   VERSION   the program's version (from CMakeLists.txt)
;   STAGE     the folder holding what is installed (Zorvan.exe, zorvan-cli.exe, the data, LICENSE.txt)
;   FILES_NSH the list of those files and folders, for the uninstaller
;   APPDATA   the name of the user's data folder under local application data (cfg.ini's appdir)
;   OUTFILE   the installer to write
; Command line: /S installs silently (without the start-with-Windows option unless /AUTOSTART is
; given too) and /D=FOLDER chooses the folder; the uninstaller takes /S as well and then keeps
; the user's data folder.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define PRODUCT "Zorvan"
!define PUBLISHER "Zorvan"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zorvan"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; The user's own programs folder: no administrator, no other user affected.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 The Zorvan developers (MIT licence)"

!define MUI_ICON "${STAGE}\appico.ico"
!define MUI_UNICON "${STAGE}\appico.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_WELCOMEPAGE_TEXT "Setup will install Zorvan ${VERSION}, the configuration program of the Zorvan wireless gaming mice, for you alone: in your own programs folder, without administrator rights.$\r$\n$\r$\nYour profiles, macros and language choice are kept apart from the program, in $LOCALAPPDATA\${APPDATA}.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN "$INSTDIR\Zorvan.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Zorvan now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Section "Zorvan (required)" SecProgram
  SectionIn RO
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Zorvan.exe" "" "$INSTDIR\Zorvan.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Zorvan.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Any argument starts the program hidden in the tray.
Section /o "Start with Windows (in the tray)" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Zorvan.exe" /tray'
SectionEnd

; Files of a running Zorvan cannot be replaced or removed: it is asked to be closed first.
!macro REFUSE_WHILE_RUNNING
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "MUTEX_QZ_WIRELESS") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_OK|MB_ICONEXCLAMATION "Zorvan is running. End it (its tray icon's menu, or the close button) and start again." /SD IDOK
    SetErrorLevel 3
    Abort
  ${EndIf}
!macroend

Function un.onInit
  !insertmacro REFUSE_WHILE_RUNNING
FunctionEnd

Function .onInit
  !insertmacro REFUSE_WHILE_RUNNING
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Only what the installer put there: a folder chosen by the user may hold other files.
  !include "${FILES_NSH}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  ; The user's profiles, macros and language choice: asked for, kept when silent.
  ${IfNot} ${Silent}
  ${AndIf} ${FileExists} "$LOCALAPPDATA\${APPDATA}\*.*"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Also remove your Zorvan settings, profiles and macros?$\r$\n$\r$\n$LOCALAPPDATA\${APPDATA}$\r$\n$\r$\nChoose No to keep them for a later installation." \
      /SD IDNO IDNO keep
    RMDir /r "$LOCALAPPDATA\${APPDATA}"
    keep:
  ${EndIf}
SectionEnd
