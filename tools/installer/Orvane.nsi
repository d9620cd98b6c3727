; The installer of 奥文Orvane: a per-user install into a folder the user owns (the programs
; keep all their state beside themselves, so the folder must stay writable), Chinese pages,
; a Start-menu shortcut, an optional desktop shortcut and an uninstaller. tools/installer/make
; defines VERSION, STAGE (the program folder to ship), FILES (its file list for the
; uninstaller), ICON and OUTFILE.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh

!define PRODUCT "奥文Orvane"
!define PUBLISHER "青石软件"
!define MAIN "奥文Orvane.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane"

Name "${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade or a repair goes where the program already is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${MAIN}"
!define MUI_FINISHPAGE_RUN_TEXT "运行${PRODUCT}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT}安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "© 2025 ${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "OriginalFilename" "${PRODUCT}-${VERSION}-setup.exe"

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; The outside items are replaced whole, so that nothing of an older version stays.
  RMDir /r "$INSTDIR\OrvaneX"
  RMDir /r "$INSTDIR\wav"
  ; The user's theme, first-run flag and AI flag survive an upgrade; the account files
  ; are never shipped.
  SetOverwrite off
  File "${STAGE}/themecolors.une"
  File "${STAGE}/bft.une"
  File "${STAGE}/AiMade.une"
  SetOverwrite on
  File /r /x themecolors.une /x bft.une /x AiMade.une "${STAGE}/*"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${MAIN}" "" "$INSTDIR\${MAIN}" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${MAIN}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "桌面快捷方式" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${MAIN}" "" "$INSTDIR\${MAIN}" 0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "${PRODUCT}的程序、音符采样和OrvaneX模型。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "在桌面上放一个${PRODUCT}的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Removes what was shipped and what the programs write beside themselves, file by file,
; then the folder if nothing else is left in it. C:\Orvane\OutputWAV, the user's works,
; lies outside the program folder and is never touched.
Section "Uninstall"
  Delete "$INSTDIR\*.une"
  Delete "$INSTDIR\*.une.new"
  Delete "$INSTDIR\wav\wav.py"
  Delete "$INSTDIR\output\output.sop"
  RMDir "$INSTDIR\output"
  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
