#pragma once
// Opens the options sheet with the program's own steps: saving pages into the settings key,
// previewing the text size, and restarting listeners, mail schedule and hot key after OK.

#include <windows.h>

namespace tavik::shell {

void OpenOptions(HWND mainWindow);

}  // namespace tavik::shell
