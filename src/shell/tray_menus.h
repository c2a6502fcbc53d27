#pragma once
// Mouse events on the tray icons and their pop-up menus.

#include <windows.h>

#include <string>

namespace tavik::shell {

LRESULT OnMessageIconEvent(HWND mainWindow, LPARAM mouseMessage);
LRESULT OnMailIconEvent(HWND mainWindow, LPARAM mouseMessage);
// The e-mail program's command line: the mail page's field while it is shown, else the setting.
std::string EmailProgramCommand();
void LaunchEmailProgram(HWND mainWindow);
void RemoveMailIcons(HWND mainWindow);

}  // namespace tavik::shell
