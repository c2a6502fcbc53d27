#pragma once
// The new-mail and mail-error tray icons of the main window.

#include <windows.h>

namespace tavik::mail {

// Mouse events on either icon: a double click starts the e-mail program, a right click shows
// the icon's menu (sub-menu 1 of the tray menus of resources).
void OnMailIconEvent(HWND mainWindow, HINSTANCE resources, LPARAM mouseMessage);
void RemoveMailIcons(HWND mainWindow);

}  // namespace tavik::mail
