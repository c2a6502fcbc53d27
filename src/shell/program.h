#pragma once
// Start-up, message loop and shut-down of Tavik.

#include <windows.h>

namespace tavik::shell {

// Returns the process exit code: 0, or -1 when the resource module or the main window is missing.
int RunProgram(HINSTANCE instance, int showCommand);

}  // namespace tavik::shell
