#pragma once
// The user's e-mail program, started from the new-mail tray icon.

#include <windows.h>

namespace tavik::mail {

// Starts it (EmailProgramCommand) and takes both mail icons out of the tray.
void LaunchEmailProgram(HWND mainWindow);

}  // namespace tavik::mail
