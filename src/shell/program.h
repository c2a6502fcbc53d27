#pragma once
// Start-up, message loop and shut-down of Tavik.

#include <windows.h>

namespace tavik::shell {

// Returns the process exit code: 0, or -1 when the resource module or the main window is missing.
int RunProgram(HINSTANCE instance, int showCommand);

// Registers the restore hot key of the settings in effect anew (the previous one is dropped).
void RegisterRestoreHotKey(HWND window);

// Stops the listeners, stores what waits, saves the settings of the exit, empties the trash
// and releases what the program holds. Runs once: after the message loop, or earlier when
// the session ends (the process may not run on after that).
void ShutDown();

}  // namespace tavik::shell
