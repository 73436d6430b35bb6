; The installer of the Q350 configuration software. Built by CMake with makensis:
;   makensis -DSTAGE=<program folder> -DOUT=<Q350Setup.exe> -DVERSION=<x.y.z> -DWIN64=0|1 q350_setup.nsi
; It installs the program folder under Program Files\Quorv\Q350, a Start-menu shortcut, the
; log-on launcher and an entry in Add/Remove Programs; /S installs silently. The uninstaller asks
; whether the user's profiles, macros and statistics stay (silently: they stay).
!if ${WIN64} == 1
Target amd64-unicode
!else
Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Quorv Q350"
!define PUBLISHER "Quorv"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Q350Config"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Q350Config"
!define SETTINGS_KEY "Software\QUORV\Q350Config"
!define MENU_FOLDER "$SMPROGRAMS\Quorv"
!define SHORTCUT "${MENU_FOLDER}\Q350 Configuration.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT}"
!if ${WIN64} == 1
InstallDir "$PROGRAMFILES64\Quorv\Q350"
!else
InstallDir "$PROGRAMFILES\Quorv\Q350"
!endif
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetShellVarContext all
!if ${WIN64} == 1
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This version needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
!endif
FunctionEnd

Section "Program" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; The program files are replaced at every installation.
  File /r /x Profile /x Macro.cfg "${STAGE}\*.*"
  ; What the user saves is never overwritten: the profile folder and the macro library are made
  ; only when they are not there yet.
  CreateDirectory "$INSTDIR\Profile"
  CreateDirectory "$INSTDIR\update\new_version"
  SetOverwrite off
  File "${STAGE}\Macro.cfg"
  SetOverwrite on

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\Q350Config.exe" "" "$INSTDIR\Q350Config.exe" 0
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\bootlaunch.exe"'

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} configuration software"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Q350Config.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  SetShellVarContext all
!if ${WIN64} == 1
  SetRegView 64
!endif
FunctionEnd

Section "Uninstall"
  ; The program must not run while its files go.
  ExecWait '"$SYSDIR\taskkill.exe" /F /IM Q350Config.exe'
  Delete "${SHORTCUT}"
  RMDir "${MENU_FOLDER}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; Everything the installer put there, folder by folder.
  Delete "$INSTDIR\*.exe"
  Delete "$INSTDIR\*.dll"
  RMDir /r "$INSTDIR\Language"
  RMDir /r "$INSTDIR\skins"
  RMDir /r "$INSTDIR\update"
  RMDir /r "$INSTDIR\quorv_update"

  MessageBox MB_YESNO|MB_ICONQUESTION \
    "Keep your profiles, macros and statistics for a later installation?" \
    /SD IDYES IDYES keep
  RMDir /r "$INSTDIR\Profile"
  Delete "$INSTDIR\Macro.cfg"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  keep:
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
SectionEnd
