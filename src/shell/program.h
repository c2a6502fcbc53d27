#pragma once
// Start-up, message loop and shut-down of Tavik.

#include <windows.h>

#include "shell/history_view.h"

namespace tavik::shell {

// Returns the process exit code: 0, or -1 when the resource module or the main window is missing.
int RunProgram(HINSTANCE instance, int showCommand);

// Registers the restore hot key of the settings in effect anew (the previous one is dropped).
void RegisterRestoreHotKey(HWND window);

// Stops the listeners, stores what waits into view, saves the settings of the exit, empties the
// trash and releases what the program holds. Runs once: after the message loop, or earlier when
// the session ends (the process may not run on after that). A call from inside the waits of a
// running one only stores what waits and saves the settings of the exit.
void ShutDown(HistoryView& view);

}  // namespace tavik::shell
