; The Windows installer: makensis -DVERSION=... -DSTAGE=<portable folder> -DOUTFILE=<setup.exe>
; -DICON=<plintor.ico> (dist/windows/build.sh). Installs the programs, the licences and the demo
; into Program Files, Start-menu entries and an uninstaller; silent with /S. No data folder goes
; beside the programs: each account's datasets are kept in its %LOCALAPPDATA%\Plintor\data, where
; the program copies the demo's on that account's first start on the demo.
Target amd64-unicode
SetCompressor /SOLID lzma
Unicode true

!include "MUI2.nsh"

Name "Plintor ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Plintor"
RequestExecutionLevel admin
ShowInstDetails nevershow

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Plintor"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartOnTheDemo
!define MUI_FINISHPAGE_RUN_TEXT "Start Plintor on the demo project"

!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSES.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function StartOnTheDemo
  Exec '"$INSTDIR\plintor.exe" --codepage windows-1253 --project "$INSTDIR\demo\studio"'
FunctionEnd

Function .onInit
  SetRegView 64
FunctionEnd

Section "Plintor"
  SetOutPath "$INSTDIR"
  File "${STAGE}\*.exe"
  File "${STAGE}\*.com"
  File "${STAGE}\*.dll"
  File "${STAGE}\LICENSES.txt"
  File /r "${STAGE}\platforms"
  File /r "${STAGE}\styles"
  File /r "${STAGE}\imageformats"
  File /r "${STAGE}\demo"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Plintor"
  CreateShortcut "$SMPROGRAMS\Plintor\Plintor.lnk" "$INSTDIR\plintor.exe"
  CreateShortcut "$SMPROGRAMS\Plintor\Plintor (demo project).lnk" "$INSTDIR\plintor.exe" '--codepage windows-1253 --project "$INSTDIR\demo\studio"'
  CreateShortcut "$SMPROGRAMS\Plintor\Plintor monitor.lnk" "$INSTDIR\plintor-monitor.exe"
  CreateShortcut "$SMPROGRAMS\Plintor\Licences.lnk" "$INSTDIR\LICENSES.txt"
  CreateShortcut "$SMPROGRAMS\Plintor\Uninstall Plintor.lnk" "$INSTDIR\uninstall.exe"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Plintor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Plintor developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\plintor.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; A running program's file cannot be opened for writing: the uninstaller asks for it to be closed
; first, naming it, rather than leave half an installation behind.
!macro REFUSE_WHILE_RUNNING FILE WHAT
  IfFileExists "$INSTDIR\${FILE}" 0 +8
  ClearErrors
  FileOpen $0 "$INSTDIR\${FILE}" a
  IfErrors 0 +4
  MessageBox MB_OK|MB_ICONSTOP "${WHAT} is running. Close it, then uninstall Plintor again." /SD IDOK
  SetErrorLevel 2
  Quit
  FileClose $0
!macroend

Function un.onInit
  SetRegView 64
  !insertmacro REFUSE_WHILE_RUNNING "plintor.exe" "Plintor"
  !insertmacro REFUSE_WHILE_RUNNING "plintor-monitor.exe" "The Plintor monitor"
FunctionEnd

; The operators' datasets and recent lists stay: they are the operators' work.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Plintor\*.lnk"
  RMDir "$SMPROGRAMS\Plintor"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\imageformats"
  RMDir /r "$INSTDIR\demo"
  Delete "$INSTDIR\LICENSES.txt"
  Delete "$INSTDIR\*.com"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\*.exe"
  RMDir "$INSTDIR"
  ; Whatever is still there was held open: say so, and keep the entry to uninstall again with.
  IfFileExists "$INSTDIR\*.*" 0 removed
  MessageBox MB_OK|MB_ICONSTOP "Some files in $INSTDIR are in use and were not removed. Close every program using them, then uninstall Plintor again." /SD IDOK
  SetErrorLevel 2
  Abort
removed:
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
