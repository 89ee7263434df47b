; The Windows installer: per machine under Program Files, a Start menu entry, an uninstaller
; that keeps settings and results. tools/windows/build.sh runs makensis with:
;   -DVERSION=<text version> -DFILEVERSION=1.0.0.<commits> -DSOURCE=<unpacked zip folder>
;   -DOUTFILE=<installer> -DFILELIST=<the uninstaller's Delete and RMDir lines>
; A 64-bit installer for a 64-bit program: it runs under Wine without its 32-bit part.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\quelvan"

Name "quelvan"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\quelvan"
BrandingText "quelvan ${VERSION}"

VIProductVersion "${FILEVERSION}"
VIFileVersion "${FILEVERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "quelvan"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "quelvan ${VERSION} installer"
VIAddVersionKey /LANG=1033 "CompanyName" "quelvan developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "GNU GPL 3 or later"

!define MUI_FINISHPAGE_TITLE "quelvan is installed"
!define MUI_FINISHPAGE_TEXT "Start it from the Start menu: quelvan.$\r$\n$\r$\nThe lab's settings \
file is C:\ProgramData\quelvan\quelvan.ini (the test server, the results folder). This installer \
does not create it, and the uninstaller keeps it and the results.$\r$\n$\r$\nWrite folders there \
with /, for example results=C:/quelvan/results."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    SetRegView 64
    ; A newer installer goes where the older one is.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${EndIf}
FunctionEnd

Section "quelvan"
    SetShellVarContext all
    ; An older version's uninstaller removes its files first, so that nothing of it is left
    ; beside the new one; it keeps settings and results as always.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        ExecWait '"$0\uninstall.exe" /S _?=$0'
        Delete "$0\uninstall.exe"
    ${EndIf}
    SetOutPath "$INSTDIR"
    File /r "${SOURCE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; As the desktop entry on Linux starts it.
    CreateShortCut "$SMPROGRAMS\quelvan.lnk" "$INSTDIR\quelvan.exe" "--cache --error-dialog"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "quelvan"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "quelvan developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quelvan.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    SetRegView 64
    Delete "$SMPROGRAMS\quelvan.lnk"
    ; Only what the installer put there: the folder may have been chosen by hand.
    !include "${FILELIST}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
