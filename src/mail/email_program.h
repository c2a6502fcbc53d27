#pragma once
// The user's e-mail program, started from the new-mail tray icon.

#include <windows.h>

#include <string>

namespace tavik::mail {

// The e-mail program's command line: the mail page's field while it is shown, else the setting.
std::string EmailProgramCommand();
// Starts it and takes both mail icons out of the tray.
void LaunchEmailProgram(HWND mainWindow);

}  // namespace tavik::mail
