#pragma once
// The main window: a modeless dialog from template 101 and the hub of the program.

#include <windows.h>

namespace tavik::shell {

constexpr UINT kIncomingMessage = WM_USER + 1;     // a received message: priority, IncomingMessage*
constexpr UINT kMessageIconEvent = WM_USER + 2;    // mouse events on the message tray icon
constexpr UINT kMailIconEvent = WM_USER + 3;       // mouse events on the mail tray icons
constexpr UINT_PTR kMailTimer = 1;
constexpr int kRestoreHotKeyId = 1;

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the socket library started at window initialisation (released at shut-down).
bool SocketsStarted();

}  // namespace tavik::shell
