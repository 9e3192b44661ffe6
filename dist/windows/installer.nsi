; The Windows installer: makensis -DVERSION=... -DSTAGE=<portable folder> -DOUTFILE=<setup.exe>
; (dist/windows/build.sh). Installs the programs and the demo into Program Files, a Start-menu
; entry and an uninstaller; silent with /S. No data folder goes beside the programs, so the
; datasets are kept in %LOCALAPPDATA%\Plintor\data, where the demo's are copied when missing.
Target amd64-unicode
SetCompressor /SOLID lzma

Name "Plintor ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Plintor"
RequestExecutionLevel admin
ShowInstDetails nevershow

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Plintor"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
FunctionEnd

Section "Plintor"
  SetOutPath "$INSTDIR"
  File "${STAGE}\*.exe"
  File "${STAGE}\*.dll"
  File /r "${STAGE}\platforms"
  File /r "${STAGE}\styles"
  File /r "${STAGE}\imageformats"
  File /r "${STAGE}\demo"

  ; The installing user's datasets: the demo's, without overwriting any already there.
  SetShellVarContext current
  SetOverwrite off
  SetOutPath "$LOCALAPPDATA\Plintor\data"
  File /r "${STAGE}\demo\data\*"
  SetOverwrite on

  SetShellVarContext all
  SetOutPath "$INSTDIR"
  CreateDirectory "$SMPROGRAMS\Plintor"
  CreateShortcut "$SMPROGRAMS\Plintor\Plintor.lnk" "$INSTDIR\plintor.exe"
  CreateShortcut "$SMPROGRAMS\Plintor\Plintor (demo project).lnk" "$INSTDIR\plintor.exe" '--project "$INSTDIR\demo\studio"'
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

Function un.onInit
  SetRegView 64
FunctionEnd

; The operator's datasets and recent list stay: they are the operator's work.
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Plintor\*.lnk"
  RMDir "$SMPROGRAMS\Plintor"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\imageformats"
  RMDir /r "$INSTDIR\demo"
  Delete "$INSTDIR\*.exe"
  Delete "$INSTDIR\*.dll"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
