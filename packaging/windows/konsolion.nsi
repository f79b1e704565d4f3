; Konsolion's Windows installer, built on Linux with Debian's makensis by
; scripts/windows/package, which passes STAGE (the folder holding the files) and OUTFILE.
; A 64-bit installer: the 32-bit stub would not start on a 64-bit-only Windows or Wine.
Unicode true
Target amd64-unicode
!include "LogicLib.nsh"
!include "WordFunc.nsh"
!include "WinMessages.nsh"

Name "Konsolion"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Konsolion"
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Konsolion"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetOutPath "$INSTDIR"
  File "${STAGE}\Konsolion.exe"
  File "${STAGE}\konsolion-sim.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\Konsolion.txt"
  File "${STAGE}\konsolion-sim.txt"
  File "${STAGE}\konsolion-cli.txt"
  SetOutPath "$INSTDIR\bin"
  File "${STAGE}\bin\konsolion-cli.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Konsolion"
  CreateShortcut "$SMPROGRAMS\Konsolion\Konsolion.lnk" "$INSTDIR\Konsolion.exe"
  CreateShortcut "$SMPROGRAMS\Konsolion\Konsolion with a simulated keyboard.lnk" "$INSTDIR\konsolion-sim.exe"
  CreateShortcut "$SMPROGRAMS\Konsolion\konsolion-cli manual.lnk" "$INSTDIR\konsolion-cli.txt"
  CreateShortcut "$SMPROGRAMS\Konsolion\Uninstall Konsolion.lnk" "$INSTDIR\uninstall.exe"

  ; konsolion-cli alone sits in bin\, which goes on the user's PATH.
  ReadRegStr $0 HKCU "Environment" "Path"
  ${WordAdd} "$0" ";" "+$INSTDIR\bin" $0
  WriteRegExpandStr HKCU "Environment" "Path" "$0"
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Konsolion"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "1.0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Ombrix"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Konsolion.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

Section "Uninstall"
  ReadRegStr $0 HKCU "Environment" "Path"
  ${un.WordAdd} "$0" ";" "-$INSTDIR\bin" $0
  ${If} $0 == ""
    DeleteRegValue HKCU "Environment" "Path"
  ${Else}
    WriteRegExpandStr HKCU "Environment" "Path" "$0"
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000

  Delete "$INSTDIR\bin\konsolion-cli.exe"
  RMDir "$INSTDIR\bin"
  Delete "$INSTDIR\Konsolion.exe"
  Delete "$INSTDIR\konsolion-sim.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Konsolion.txt"
  Delete "$INSTDIR\konsolion-sim.txt"
  Delete "$INSTDIR\konsolion-cli.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir /r "$SMPROGRAMS\Konsolion"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
