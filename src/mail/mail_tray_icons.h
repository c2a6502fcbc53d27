#pragma once
// The new-mail and mail-error tray icons of the main window.

#include <windows.h>

#include "win/scoped_handles.h"

namespace tavik::mail {

// Mouse events on either icon: a double click starts the e-mail program, a right click shows
// the icon's menu (sub-menu 1 of the tray menus of resources).
void OnMailIconEvent(HWND mainWindow, HINSTANCE resources, LPARAM mouseMessage);
void RemoveMailIcons(HWND mainWindow);
// The picture of the new-mail icon (from the program's resources) or of the mail-error icon (the
// system's exclamation mark), at the tray's size; the shell keeps a copy of what it is given.
win::Icon LoadMailTrayIcon(HINSTANCE program, bool newMail);

}  // namespace tavik::mail
