#pragma once
// The message tray icon: status refresh, hide to and restore from the tray, blinking.

#include <windows.h>

#include "shell/history_status.h"

namespace tavik::shell {

// Fills the tray-icon record once, at window initialisation.
void InitTrayRecord(HWND mainWindow);
// Title, tip, icon, toolbar states and the high-priority mark follow the message list.
void RefreshStatus(HWND mainWindow, const HistoryStatus& status);
// Puts the icon back after the shell (taskbar) restarted.
void ReAddTrayIcon();
void RemoveTrayIcons(HWND mainWindow);

void HideToTray(HWND mainWindow);
void RestoreFromTray(HWND mainWindow, const HistoryStatus& status);

// Starts one blink sequence unless one is running.
void StartBlink();
// Ends a running blink sequence and waits for it: called before TrayLock goes.
void StopBlink();

}  // namespace tavik::shell
