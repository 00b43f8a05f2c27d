; The qelCrypto installer: a per-user install without administrator rights, into the user's own
; programs folder, with a Start-menu shortcut and an uninstaller.
; makensis -DVERSION=… -DSOURCE=folder -DOUTFILE=installer.exe -DICON=qelCrypto.ico -DUNINSTALL=list.nsh
;     installer.nsi, where list.nsh deletes each file of the folder and then its subfolders
; A 64-bit installer for a 64-bit program: it runs where the program does.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh

!define PRODUCT "qelCrypto"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\qelCrypto"
!define SHORTCUT "qelCrypto - forkle korte tekster"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\qelCrypto.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Norwegian"

Section "qelCrypto"
    SetShellVarContext current
    ; An earlier version goes first, by its own uninstaller: only it knows the files it had that this
    ; one has not, and they would otherwise stay behind for good. It runs where it stands (_?=) so that
    ; it is done before the new files come; it cannot delete itself there, so that is done here.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    StrCmp $0 "" fresh
    IfFileExists "$0\Avinstaller.exe" 0 fresh
    ExecWait '"$0\Avinstaller.exe" /S _?=$0'
    Delete "$0\Avinstaller.exe"
    RMDir "$0"
fresh:
    SetOutPath "$INSTDIR"
    File /r "${SOURCE}\*.*"
    WriteUninstaller "$INSTDIR\Avinstaller.exe"
    CreateShortcut "$SMPROGRAMS\${SHORTCUT}.lnk" "$INSTDIR\qelCrypto.exe" "" "$INSTDIR\qelCrypto.exe" 0
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "qelCrypto-utviklerne"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\qelCrypto.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Avinstaller.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Avinstaller.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Delete "$SMPROGRAMS\${SHORTCUT}.lnk"
    ; Only what the installer put there, named one by one: the user's own files in the folder stay.
    !include "${UNINSTALL}"
    Delete "$INSTDIR\Avinstaller.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
