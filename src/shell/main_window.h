#pragma once
// The main window: a modeless dialog from template 101 and the hub of the program.

#include <windows.h>

namespace tavik::shell {

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Ends the socket library that the main window started, once the listeners are stopped.
void ReleaseSockets();

}  // namespace tavik::shell
