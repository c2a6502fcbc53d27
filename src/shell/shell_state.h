#pragma once
// Process-wide state of the program shell and the small operations other subsystems call.

#include <windows.h>

#include <string>

namespace tavik::shell {

extern HINSTANCE ResourceModule;  // TavikRes.dll: texts, dialog templates, menus
extern HINSTANCE AppInstance;     // Tavik.exe: icons, toolbar bitmap, accelerators
extern HWND MainWindow;           // 0 before creation and once teardown began
extern HICON TrayIcon;            // icon currently shown in the tray
extern CRITICAL_SECTION TrayLock; // guards the tray-icon record during icon changes

// Loads a string of the resource module; bufferSize bounds it as a fixed buffer would (size - 1 chars).
std::string LoadResourceString(UINT id, int bufferSize = 256);

// Shows a stop box owned by the main window: caption string 1, text as given.
void ShowErrorBox(HWND owner, const std::string& text);

void TrimWorkingSet();
void ActivateNextWindow();
void ShowAbout();
void StartListeners();
void StopListeners();

}  // namespace tavik::shell
