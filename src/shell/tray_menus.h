#pragma once
// Mouse events on the message tray icon and its pop-up menu.

#include <windows.h>

namespace tavik::shell {

LRESULT OnMessageIconEvent(HWND mainWindow, LPARAM mouseMessage);

}  // namespace tavik::shell
