; The installer of 奥文Orvane: a per-user install into a folder the user owns (the programs
; keep all their state beside themselves, so the folder must stay writable), Chinese pages,
; a Start-menu shortcut, an optional desktop shortcut and an uninstaller. tools/installer/make
; defines VERSION, STAGE (the program folder to ship), FILES (its file list for the
; uninstaller), PROGRAMS (a check of each .exe it holds), ICON, WELCOME (the folder of the
; welcome and finish pages' picture, installer.bmp and installer@2x.bmp) and OUTFILE.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

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
; Our own picture on the welcome and finish pages, stretched to the picture's place there:
; the 2x drawing above 120 dpi (125%), so that it is shrunk rather than enlarged.
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME}/installer.bmp"
!define MUI_WELCOMEFINISHPAGE_BITMAP_STRETCH FitControl
!define MUI_PAGE_CUSTOMFUNCTION_PRE PictureForDpi
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_PRE PictureForDpi
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

; The page loads the picture that the interface put in $PLUGINSDIR after this.
Function PictureForDpi
  System::Call 'user32::GetDC(p 0) p .r0'
  System::Call 'gdi32::GetDeviceCaps(p r0, i 88) i .r1'  ; LOGPIXELSX
  System::Call 'user32::ReleaseDC(p 0, p r0)'
  ${If} $1 > 120
    File "/oname=$PLUGINSDIR\modern-wizard.bmp" "${WELCOME}/installer@2x.bmp"
  ${EndIf}
FunctionEnd

; A running program of ours holds its .exe: Windows lets no one write or delete it. Asks
; before a file is touched, so that an upgrade or an uninstall never stops halfway; a
; silent run gives up with exit code 2 and leaves the folder as it was.
!macro ORVANE_FREE NAME DOING
  !define /redef EXE "$INSTDIR\${NAME}"
  ${If} ${FileExists} "${EXE}"
    ${Do}
      ClearErrors
      FileOpen $0 "${EXE}" a
      ${IfNot} ${Errors}
        FileClose $0
        ${Break}
      ${EndIf}
      ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT}正在运行，无法${DOING} ${NAME}。$\r$\n$\r$\n请关闭${PRODUCT}后点“重试”，或点“取消”退出。" /SD IDCANCEL IDCANCEL`
        Abort "${PRODUCT}正在运行，未做任何改动。"
      ${EndIf}
    ${Loop}
  ${EndIf}
!macroend

Section "${PRODUCT}" SecProgram
  SectionIn RO
  !define ORVANE_DOING "替换"
  !include "${PROGRAMS}"
  !undef ORVANE_DOING
  SetOutPath "$INSTDIR"
  ; Every file we ship is written again, which repairs an install; nothing else in the
  ; folder is removed: a folder the user chose may hold a wav folder of their own. A file
  ; that a later version no longer ships is to be deleted here by name.
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

; Unticked unless the user asks for it: a desktop shortcut is the user's choice.
Section /o "桌面快捷方式" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${MAIN}" "" "$INSTDIR\${MAIN}" 0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "${PRODUCT}的程序、音符采样和OrvaneX模型。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "在桌面上放一个${PRODUCT}的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Removes what was shipped and what the programs write beside themselves, file by file,
; then the folders if nothing else is left in them: what the user put there stays.
; C:\Orvane\OutputWAV, the user's works, lies outside the program folder and is never touched.
Section "Uninstall"
  !define ORVANE_DOING "删除"
  !include "${PROGRAMS}"
  !undef ORVANE_DOING
  Delete "$INSTDIR\*.une"
  Delete "$INSTDIR\wav\wav.py"
  Delete "$INSTDIR\output\output.sop"
  ; The text files' writer leaves "<file>.~orvane<process>_<count>.tmp" when a program
  ; ends in the middle of a write.
  Delete "$INSTDIR\*.~orvane*.tmp"
  Delete "$INSTDIR\wav\*.~orvane*.tmp"
  Delete "$INSTDIR\output\*.~orvane*.tmp"
  RMDir "$INSTDIR\output"
  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
