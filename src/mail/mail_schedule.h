#pragma once
// When mailbox checks run. The check itself is not built yet: these hooks start nothing.

#include <windows.h>

namespace tavik::mail {

// With the network listeners: the periodic check (timer kMailCheckTimer of mainWindow).
void StartMailSchedule(HWND mainWindow);
void StopMailSchedule(HWND mainWindow);
// A tick of the timer: one mailbox check.
void StartMailCheck(HWND mainWindow);
// Check now (Ctrl+Alt+M, tray menu).
void OpenCheckNowDialog(HWND mainWindow);

}  // namespace tavik::mail
