; The setup program of vx for 64-bit Windows: a per-machine install into Program Files with a
; Start-menu entry, an uninstaller and its entry in the list of installed programs.
; makensis -DVERSION=2.0.0 -DSTAGE=<folder with vx.exe, LICENSE.txt> -DOUTFILE=<setup.exe> vx.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"

!define APP "vx"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\vx"

Name "vx ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\vx"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "vx"
VIAddVersionKey /LANG=1033 "FileDescription" "vx ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "GPL-3.0-or-later"

!define MUI_ICON "${STAGE}\vx.ico"
!define MUI_UNICON "${STAGE}\vx.ico"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "TradChinese"

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "vx needs 64-bit Windows."
        Abort
    ${EndIf}
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "vx"
    SetOutPath "$INSTDIR"
    File "${STAGE}\vx.exe"
    File "${STAGE}\LICENSE.txt"
    File "${STAGE}\README.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The menu's start works in the user's own folder, %LOCALAPPDATA%\Vx.
    CreateShortcut "$SMPROGRAMS\Vx.lnk" "$INSTDIR\vx.exe" "--desktop-entry" "$INSTDIR\vx.exe" 0 \
        SW_SHOWNORMAL "" "Vx515 digital readout"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "vx ${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The vx developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vx.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

; The users' own settings and folders (the registry's HKCU\Software\Vx, %LOCALAPPDATA%\Vx) and
; their log files stay: they are theirs, and a new version reads them again.
Section "Uninstall"
    Delete "$SMPROGRAMS\Vx.lnk"
    Delete "$INSTDIR\vx.exe"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
