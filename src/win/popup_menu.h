#pragma once
// Pop-up menus of tray icons.

#include <windows.h>

namespace tavik::win {

// Tracks subMenu at the cursor for owner (brought to the foreground first, so the menu closes
// when the user clicks elsewhere), then posts afterMessage to owner.
void TrackMenuAtCursor(HWND owner, HMENU subMenu, UINT afterMessage);

}  // namespace tavik::win
