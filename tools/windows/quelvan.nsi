; The Windows installer: per machine under Program Files, a Start menu entry, an uninstaller
; that keeps settings and results. tools/windows/build.sh runs makensis with:
;   -DVERSION=<text version> -DFILEVERSION=1.0.0.<commits> -DSOURCE=<unpacked zip folder>
;   -DOUTFILE=<installer> -DFILELIST=<the uninstaller's Delete and RMDir lines>
;   -DICON=<data/quelvan.ico>
; A 64-bit installer for a 64-bit program: it runs under Wine without its 32-bit part.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"
!include "WordFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\quelvan"

Name "quelvan"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\quelvan"
BrandingText "quelvan ${VERSION}"

VIProductVersion "${FILEVERSION}"
VIFileVersion "${FILEVERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "quelvan"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${FILEVERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "quelvan ${VERSION} installer"
VIAddVersionKey /LANG=1033 "CompanyName" "quelvan developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "GNU GPL 3 or later"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
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

!searchparse "${FILEVERSION}" "" VERSIONMAJOR "." VERSIONMINOR "."

; Exit statuses of a silent install or uninstall besides 0: 2 a newer quelvan is installed
; (/ALLOWDOWNGRADE installs all the same), 3 a quelvan of this installation is running, 4
; quelvan is installed from the MSI.
!macro REFUSALS UN
; Windows locks a running program's file: what would stop the files being replaced.
Function ${UN}RefuseWhileRunning
  retry:
    ${ForEach} $1 0 1 + 1
        ${If} $1 == 0
            StrCpy $2 "$INSTDIR\quelvan.exe"
        ${Else}
            StrCpy $2 "$INSTDIR\quelvan-maketest.exe"
        ${EndIf}
        ${If} ${FileExists} $2
            ClearErrors
            FileOpen $0 $2 a
            ${If} ${Errors}
                ${If} ${Silent}
                    SetErrorLevel 3
                    Quit
                ${EndIf}
                MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "quelvan is running from \
$INSTDIR.$\r$\n$\r$\nClose every quelvan window, then press Retry." IDRETRY retry
                SetErrorLevel 3
                Quit
            ${EndIf}
            FileClose $0
        ${EndIf}
    ${Next}
FunctionEnd
!macroend
!insertmacro REFUSALS ""
!insertmacro REFUSALS "un."

; The installed program's own version information; a quelvan without any is older than
; every installer that compares.
Function RefuseDowngrade
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/ALLOWDOWNGRADE" $1
    ${IfNot} ${Errors}
        Return
    ${EndIf}
    ClearErrors
    GetDLLVersion "$INSTDIR\quelvan.exe" $R0 $R1
    ${If} ${Errors}
        Return
    ${EndIf}
    IntOp $R2 $R0 >> 16
    IntOp $R2 $R2 & 0xFFFF
    IntOp $R3 $R0 & 0xFFFF
    IntOp $R4 $R1 >> 16
    IntOp $R4 $R4 & 0xFFFF
    IntOp $R5 $R1 & 0xFFFF
    ${VersionCompare} "$R2.$R3.$R4.$R5" "${FILEVERSION}" $R6
    ${If} $R6 != 1
        Return
    ${EndIf}
    ${If} ${Silent}
        SetErrorLevel 2
        Quit
    ${EndIf}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "A newer quelvan ($R2.$R3.$R4.$R5) is \
installed in $INSTDIR.$\r$\n$\r$\nReplace it with this older one (${FILEVERSION})?" IDYES +3
    SetErrorLevel 2
    Quit
FunctionEnd

Function .onInit
    SetRegView 64
    ; The MSI's copy would share the folder: one of the two at a time.
    ReadRegStr $0 HKLM "Software\quelvan" "MsiBuild"
    ${If} $0 != ""
        ${IfNot} ${Silent}
            MessageBox MB_OK|MB_ICONSTOP "quelvan is installed from its MSI: remove it first \
(Settings > Apps, or msiexec /x)."
        ${EndIf}
        SetErrorLevel 4
        Quit
    ${EndIf}
    ; A newer installer goes where the older one is.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\quelvan.exe"
        Call RefuseDowngrade
        Call RefuseWhileRunning
    ${EndIf}
FunctionEnd

Function un.onInit
    Call un.RefuseWhileRunning
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
    ; Numeric, as inventory tools and detection rules compare it; the text version apart.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${FILEVERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "FullVersion" "${VERSION}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSIONMAJOR}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSIONMINOR}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "quelvan developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quelvan.exe,0"
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
