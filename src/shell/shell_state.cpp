#include "shell/shell_state.h"

#include <psapi.h>

#include <vector>

#include "resource_ids.h"

namespace tavik::shell {

HINSTANCE ResourceModule = nullptr;
HINSTANCE AppInstance = nullptr;
HWND MainWindow = nullptr;
HICON TrayIcon = nullptr;
CRITICAL_SECTION TrayLock;

std::string LoadResourceString(UINT id, int bufferSize) {
    if (bufferSize < 1) return {};
    std::vector<char> buffer(static_cast<size_t>(bufferSize), '\0');
    int length = LoadStringA(ResourceModule, id, buffer.data(), bufferSize);
    if (length <= 0) return {};
    return std::string(buffer.data(), static_cast<size_t>(length));
}

void ShowErrorBox(HWND owner, const std::string& text) {
    std::string caption = LoadResourceString(IDS_PROGRAM_NAME);
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONHAND);
}

void TrimWorkingSet() {
    SetProcessWorkingSetSize(GetCurrentProcess(), 1024, 61440);
}

static bool QualifiesForForeground(HWND window) {
    LONG style = GetWindowLongA(window, GWL_STYLE);
    return !IsIconic(window) && (style & WS_VISIBLE) && (style & WS_CAPTION) == WS_CAPTION;
}

void ActivateNextWindow() {
    for (HWND window = GetTopWindow(GetDesktopWindow()); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
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
