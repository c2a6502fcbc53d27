#pragma once
// Process-wide state of the program shell and the small operations other parts of it call.

#include <windows.h>

#include <string>

#include "win/critical_section.h"

namespace tavik::shell {

extern HINSTANCE ResourceModule;       // TavikRes.dll: texts, dialog templates, menus
extern HINSTANCE AppInstance;          // Tavik.exe: icons, toolbar bitmap, accelerators
extern HWND MainWindow;                // 0 before creation and once teardown began
extern HICON TrayIcon;                 // icon currently shown in the tray
extern win::CriticalSection TrayLock;  // guards the tray-icon record during icon changes

// Loads a string of the resource module; bufferSize bounds it as a fixed buffer would (size - 1 chars).
std::string LoadResourceString(UINT id, int bufferSize = 256);

// Shows a stop box owned by owner: caption string 1, text as given.
void ShowErrorBox(HWND owner, const std::string& text);
// Asks the question of string questionId (caption string 1); true only for Yes.
bool AskYesNo(HWND owner, UINT questionId);

void TrimWorkingSet();
void ActivateNextWindow();
void ShowAbout();

}  // namespace tavik::shell
