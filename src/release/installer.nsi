; TavikInstall.exe: installs Quorlex Tavik into Program Files for every user of the computer and
; prepares the account of the user who installs it (settings, start-up shortcut, data folder) by
; running TavikSetup.exe. Uninstall.exe removes the programs, that shortcut and the registration,
; and keeps the user's messages and settings unless they are chosen on its components page.
;
; Made by the build (src/release/CMakeLists.txt) with makensis and these definitions:
;   VERSION   the product version ("1.0.0")
;   BIN_DIR   the build's bin folder: the programs, the help and the sound
;   ICON      the program's icon
;   OUT_FILE  the installer to write
;   WIN64     for the 64-bit installer (64-bit Program Files and registry)

Unicode true
!ifdef WIN64
    Target amd64-unicode
    !define PROGRAM_FILES "$PROGRAMFILES64"
!else
    Target x86-unicode
    !define PROGRAM_FILES "$PROGRAMFILES"
!endif
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include end_running_tavik.nsh

!define PRODUCT "Quorlex Tavik"
; The keys TavikSetup.exe reads: it finds the program folder under App Paths and marks the uninstall entry.
!define APP_PATHS_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Tavik.exe"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\QuorlexTavik"
!define SHELL_FOLDERS_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
!define SETTINGS_KEY "Software\Quorlex\Tavik"
!define SHORTCUT_NAME "Quorlex Tavik StartUp.lnk"
!define DATA_FOLDER "Quorlex\Quorlex Tavik"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "${PROGRAM_FILES}\${PRODUCT}"
InstallDirRegKey HKLM "${APP_PATHS_KEY}" "Path"
RequestExecutionLevel admin
ManifestDPIAware true
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "&Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartTavik
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Quorlex"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Quorlex"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"

; -- installer ---------------------------------------------------------------------------------------

Section "${PRODUCT}"
    SectionIn RO
    Call EndRunningTavik  ; a running Tavik holds its files
    SetOutPath "$INSTDIR"
    File "${BIN_DIR}/Tavik.exe"
    File "${BIN_DIR}/TavikRes.dll"
    File "${BIN_DIR}/TavikSetup.exe"
    File "${BIN_DIR}/tavik-send.exe"
    File "${BIN_DIR}/Tavik.html"
    File "${BIN_DIR}/receive.wav"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    WriteRegStr HKLM "${APP_PATHS_KEY}" "" "$INSTDIR\Tavik.exe"
    WriteRegStr HKLM "${APP_PATHS_KEY}" "Path" "$INSTDIR"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Quorlex"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tavik.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; After the registration: TavikSetup takes the program folder from App Paths for the shortcut.
    ExecWait '"$INSTDIR\TavikSetup.exe"'
SectionEnd

; Started in its own folder, as the start-up shortcut does, so the bare sound name "receive.wav" is found.
Function StartTavik
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Tavik.exe"'
FunctionEnd

; -- uninstaller -------------------------------------------------------------------------------------

Section "un.${PRODUCT}"
    SectionIn RO
    Call un.EndRunningTavik
    Delete /REBOOTOK "$INSTDIR\Tavik.exe"
    Delete /REBOOTOK "$INSTDIR\TavikRes.dll"
    Delete /REBOOTOK "$INSTDIR\TavikSetup.exe"
    Delete /REBOOTOK "$INSTDIR\tavik-send.exe"
    Delete "$INSTDIR\Tavik.html"
    Delete "$INSTDIR\receive.wav"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir /REBOOTOK "$INSTDIR"

    ; The shortcut lies where TavikSetup put it: the start-up folder the Shell Folders key names.
    ReadRegStr $0 HKCU "${SHELL_FOLDERS_KEY}" "Startup"
    ${If} $0 != ""
        Delete "$0\${SHORTCUT_NAME}"
    ${EndIf}
    Delete "$SMSTARTUP\${SHORTCUT_NAME}"

    DeleteRegKey HKLM "${APP_PATHS_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Not chosen unless the user ticks it: messages are the user's own.
Section /o "un.Remove my messages and settings"
    ReadRegStr $0 HKCU "${SHELL_FOLDERS_KEY}" "AppData"
    ${IfThen} $0 == "" ${|} StrCpy $0 "$APPDATA" ${|}
    RMDir /r "$0\${DATA_FOLDER}"
    RMDir "$0\Quorlex"  ; only when nothing else of the company is left
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Quorlex"
SectionEnd
