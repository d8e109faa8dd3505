; The Windows installer: per user (no administrator rights), a Start-menu
; entry that starts the game in the player's own data folder, and an
; uninstaller that removes what it installed. tools/build-windows.sh passes
; VERSION, STAGE (the unpacked zip), ICON and OUTFILE.
Target amd64-unicode  ; the game is 64-bit, and so is Wine here
SetCompressor /SOLID lzma
RequestExecutionLevel user
Name "Tundrel ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Tundrel"
InstallDirRegKey HKCU "Software\Tundrel" "InstallDir"
ShowInstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tundrel"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles
LicenseData "${STAGE}/LICENSE.txt"

Section "Tundrel"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "Software\Tundrel" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tundrel"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Tundrel developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tundrel.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; The game keeps its scores in the folder it starts in: the player's own.
  SetOutPath "$APPDATA\Tundrel"
  CreateShortCut "$SMPROGRAMS\Tundrel.lnk" "$INSTDIR\tundrel.exe" "" "$INSTDIR\tundrel.exe" 0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Tundrel.lnk"
  Delete "$INSTDIR\tundrel.exe"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  RMDir /r "$INSTDIR\licenses"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; Kept when it holds scores.
  RMDir "$APPDATA\Tundrel"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Tundrel"
SectionEnd
