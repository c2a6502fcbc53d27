; EndRunningTavik (installer) and un.EndRunningTavik (uninstaller): end every Tavik of this desktop
; cleanly before its files are replaced or removed. Tavik asks before it exits on a close, but ends
; without a question when the session ends, as the restart manager ends programs for installers:
; WM_QUERYENDSESSION, then WM_ENDSESSION with wParam TRUE, both with lParam ENDSESSION_CLOSEAPP.
; Its main window is a dialog (class "#32770") titled "Quorlex Tavik..." that holds the message text
; (control 1000); the message boxes with the same caption do not hold it, and this installer's own
; window, titled alike, is passed over by its process.

!include LogicLib.nsh

!define TAVIK_WM_QUERYENDSESSION 0x0011
!define TAVIK_WM_ENDSESSION 0x0016
!define TAVIK_ENDSESSION_CLOSEAPP 0x1
!define TAVIK_SMTO_ABORTIFHUNG 0x2
!define TAVIK_SYNCHRONIZE 0x00100000
!define TAVIK_MESSAGE_TEXT_CONTROL 1000
!define TAVIK_END_TIMEOUT_MS 10000

!macro TAVIK_END_RUNNING_FUNCTION prefix
Function ${prefix}EndRunningTavik
    Push $0  ; window
    Push $1  ; search after this window
    Push $2  ; title, control, answer, then whether the window outlived the session end
    Push $3  ; process id
    Push $4  ; process handle
    Push $5  ; this process
    System::Call 'kernel32::GetCurrentProcessId() i .r5'
    StrCpy $1 0
    ${Do}
        FindWindow $0 "#32770" "" "" $1
        ${IfThen} $0 = 0 ${|} ${ExitDo} ${|}
        StrCpy $1 $0
        System::Call 'user32::GetWindowTextW(p r0, w .r2, i ${NSIS_MAX_STRLEN}) i'
        StrCpy $2 $2 13
        ${If} $2 S== "Quorlex Tavik"
            System::Call 'user32::GetDlgItem(p r0, i ${TAVIK_MESSAGE_TEXT_CONTROL}) p .r2'
            System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r3) i'
            ${If} $2 P<> 0
            ${AndIf} $3 <> $5
                System::Call 'kernel32::OpenProcess(i ${TAVIK_SYNCHRONIZE}, i 0, i r3) p .r4'
                ; WM_ENDSESSION says whether the session really ends: only when the program agreed.
                StrCpy $2 0
                System::Call 'user32::SendMessageTimeoutW(p r0, i ${TAVIK_WM_QUERYENDSESSION}, p 0, \
                    p ${TAVIK_ENDSESSION_CLOSEAPP}, i ${TAVIK_SMTO_ABORTIFHUNG}, i ${TAVIK_END_TIMEOUT_MS}, *p .r2) i'
                ${IfThen} $2 P<> 0 ${|} StrCpy $2 1 ${|}
                System::Call 'user32::SendMessageTimeoutW(p r0, i ${TAVIK_WM_ENDSESSION}, p r2, \
                    p ${TAVIK_ENDSESSION_CLOSEAPP}, i ${TAVIK_SMTO_ABORTIFHUNG}, i ${TAVIK_END_TIMEOUT_MS}, p 0) i'
                ${If} $4 P<> 0
                    ; Its files stay in use until the process itself has ended.
                    System::Call 'kernel32::WaitForSingleObject(p r4, i ${TAVIK_END_TIMEOUT_MS}) i'
                    System::Call 'kernel32::CloseHandle(p r4) i'
                ${EndIf}
                ; A window that is gone leaves nothing to search after: start again from the first.
                System::Call 'user32::IsWindow(p r0) i .r2'
                ${IfThen} $2 = 0 ${|} StrCpy $1 0 ${|}
            ${EndIf}
        ${EndIf}
    ${Loop}
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend

!insertmacro TAVIK_END_RUNNING_FUNCTION ""
!insertmacro TAVIK_END_RUNNING_FUNCTION "un."
