#include "shell/shell_state.h"

#include <psapi.h>

#include "resource_ids.h"
#include "win/resource_text.h"

namespace tavik::shell {

HINSTANCE ResourceModule = nullptr;
HINSTANCE AppInstance = nullptr;
HWND MainWindow = nullptr;
HICON TrayIcon = nullptr;
win::CriticalSection TrayLock;

std::string LoadResourceString(UINT id, int bufferSize) {
    return win::LoadResourceString(ResourceModule, id, bufferSize);
}

void ShowErrorBox(HWND owner, const std::string& text) {
    win::ShowStopBox(owner, LoadResourceString(IDS_PROGRAM_NAME), text);
}

bool AskYesNo(HWND owner, UINT questionId) {
    return win::AskYesNo(owner, LoadResourceString(IDS_PROGRAM_NAME), LoadResourceString(questionId));
}

void TrimWorkingSet() { SetProcessWorkingSetSize(GetCurrentProcess(), 1024, 61440); }

static bool QualifiesForForeground(HWND window) {
    LONG style = GetWindowLongA(window, GWL_STYLE);
    return !IsIconic(window) && (style & WS_VISIBLE) && (style & WS_CAPTION) == WS_CAPTION;
}

void ActivateNextWindow() {
    for (HWND window = GetTopWindow(GetDesktopWindow()); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
        if (QualifiesForForeground(window)) {
            SetForegroundWindow(window);
            return;
        }
    }
    if (HWND programManager = FindWindowA("Progman", "Program Manager")) {
        SetForegroundWindow(programManager);
    }
}

}  // namespace tavik::shell
