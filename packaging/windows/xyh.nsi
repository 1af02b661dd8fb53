; The Windows installer of 星衍推号. Made by packaging/windows/package.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DSIZE_KB=N -DSTAGE=DIR -DMETA=DIR -DOUTFILE=FILE xyh.nsi
; STAGE is the portable program (what the zip holds). META holds what package.sh
; made for the installer: the icon, the licence page, and files.nsh and
; unfiles.nsh, which list the staged files so that the uninstaller removes
; exactly what was installed and leaves the user's history and settings
; (src\data\xyh.db, config.ini) where they are.
;
; Per user, without administrator rights: the program keeps its data beside
; itself and the self-updater replaces it in place, so its folder must stay
; writable by the user who runs it.

Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef VERSION | SIZE_KB | STAGE | META | OUTFILE
  !error "VERSION, SIZE_KB, STAGE, META and OUTFILE must be given with -D"
!endif

!define PRODUCT "星衍推号"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\xyh"

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} ${VERSION} 安装"
UninstallCaption "${PRODUCT} ${VERSION} 卸载"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} ${VERSION} 安装程序"
VIAddVersionKey /LANG=2052 "CompanyName" "${PRODUCT} 开发者"
VIAddVersionKey /LANG=2052 "LegalCopyright" "© 2026 ${PRODUCT} 开发者"

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${META}/xyh.ico"
!define MUI_UNICON "${META}/xyh.ico"
!define MUI_ABORTWARNING
!define MUI_ABORTWARNING_TEXT "确定要退出 ${PRODUCT} 的安装吗？"
!define MUI_FINISHPAGE_RUN "$INSTDIR\xyh.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${META}/license-page.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; A file of a running program cannot be replaced on Windows: copying over a
; running copy would stop half-way with some files new and some old. So the
; installer first waits for the program to end, as it does after the
; self-updater starts it and closes the window. Opening a program file for
; writing fails exactly while a process runs from it.
!macro WaitForProgram UN
Function ${UN}WaitForProgram
  StrCpy $1 0
  ${Do}
    StrCpy $2 ""
    ${If} ${FileExists} "$INSTDIR\xyh.exe"
      ClearErrors
      FileOpen $0 "$INSTDIR\xyh.exe" a
      ${If} ${Errors}
        StrCpy $2 "xyh.exe"
      ${Else}
        FileClose $0
      ${EndIf}
    ${EndIf}
    ${If} $2 == ""
    ${AndIf} ${FileExists} "$INSTDIR\xyh-cli.exe"
      ClearErrors
      FileOpen $0 "$INSTDIR\xyh-cli.exe" a
      ${If} ${Errors}
        StrCpy $2 "xyh-cli.exe"
      ${Else}
        FileClose $0
      ${EndIf}
    ${EndIf}
    ${If} $2 == ""
      Return
    ${EndIf}
    ; Half a minute for a closing program (the self-updater's case), then ask;
    ; a silent run cannot ask and gives up without touching a file.
    ${If} $1 < 60
      IntOp $1 $1 + 1
      Sleep 500
    ${ElseIf} ${Silent}
      SetErrorLevel 2
      Quit
    ${Else}
      ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} 正在运行($INSTDIR\$2)。$\r$\n请先关闭它，然后点“重试”；点“取消”则不做任何改动并退出。" /SD IDCANCEL IDCANCEL`
        SetErrorLevel 2
        Quit
      ${EndIf}
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitForProgram ""
!insertmacro WaitForProgram "un."

Section "${PRODUCT}" SecMain
  SectionIn RO
  Call WaitForProgram
  SetOutPath "$INSTDIR"
  !include "${META}/files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext current
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\xyh.exe" "" "$INSTDIR\xyh.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\卸载 ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\xyh.exe" "" "$INSTDIR\xyh.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\xyh.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT} 开发者"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

; Removes what the installer put there and nothing else: the history
; (src\data\xyh.db) and config.ini stay, so a later install finds them again.
Section "Uninstall"
  Call un.WaitForProgram
  !include "${META}/unfiles.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\卸载 ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
