; Thrumwell's Windows installer, built on Linux with makensis by
; make-installer.sh, which defines VERSION, OUTFILE, STAGE (the staged files)
; and FILES (the generated File and Delete lists).
;
; Installs for all users: the bundle into the global VST3 folder, the factory
; presets into the shared factory preset folder, the tools with the README
; and licence into $PROGRAMFILES64\Quorvik\Thrumwell (or /D=), a Start-menu
; shortcut to the player and an uninstaller registered under the machine's
; Uninstall key. The uninstaller removes exactly those and leaves the user's
; own presets and the player's settings alone.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
CRCCheck force
RequestExecutionLevel admin
ManifestSupportedOS all

!include "LogicLib.nsh"
!include "x64.nsh"

!define PUBLISHER "Quorvik"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Thrumwell"
!define SETTINGS_KEY "Software\Quorvik\Thrumwell"
!define BUNDLE_DIR "$COMMONFILES64\VST3\Thrumwell.vst3"
; With the all-users shell context $APPDATA is the machine's ProgramData.
!define PRESET_DIR "$APPDATA\VST3 Presets\Quorvik\Thrumwell"

Name "Thrumwell ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quorvik\Thrumwell"
InstallDirRegKey HKLM "${SETTINGS_KEY}" "InstallDir"
ShowInstDetails show
ShowUninstDetails show
BrandingText "Thrumwell ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "Thrumwell"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "Thrumwell ${VERSION} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright ${PUBLISHER}. All rights reserved."

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!include "${FILES}"

Function .onInit
  ; The installer is a 64-bit program, which a 32-bit Windows does not start
  ; at all; this check names the reason should it ever run there.
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP|MB_OK "Thrumwell needs a 64-bit (x64) Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Thrumwell"
  ; An installed copy (older or the same version) is removed by its own
  ; uninstaller first, so that nothing of it is left beside the new files.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\Uninstall.exe"
    DetailPrint "Removing the installed copy in $0"
    ExecWait '"$0\Uninstall.exe" /S _?=$0' $1
    Delete "$0\Uninstall.exe"
    RMDir "$0"
  ${EndIf}

  !insertmacro InstallFiles

  CreateShortcut "$SMPROGRAMS\Thrumwell.lnk" "$INSTDIR\thrumwell.exe" "" "$INSTDIR\thrumwell.exe" 0 \
    SW_SHOWNORMAL "" "Play the Thrumwell instrument"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Thrumwell ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "https://www.quorvik.com"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\thrumwell.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !insertmacro UninstallFiles
  Delete "$SMPROGRAMS\Thrumwell.lnk"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ; Folders above ours go only when nothing else is in them, and the tools'
  ; parent only when it is the maker's folder of the default place.
  ${If} "$INSTDIR" == "$PROGRAMFILES64\Quorvik\Thrumwell"
    RMDir "$PROGRAMFILES64\Quorvik"
  ${EndIf}
  RMDir "$APPDATA\VST3 Presets\Quorvik"
  RMDir "$APPDATA\VST3 Presets"
  RMDir "$COMMONFILES64\VST3"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Quorvik"
SectionEnd
