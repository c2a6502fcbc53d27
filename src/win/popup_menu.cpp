#include "win/popup_menu.h"

namespace tavik::win {

void TrackMenuAtCursor(HWND owner, HMENU subMenu, UINT afterMessage) {
    POINT cursor;
    GetCursorPos(&cursor);
    SetForegroundWindow(owner);
    TrackPopupMenu(subMenu, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    PostMessageA(owner, afterMessage, 0, 0);
}

}  // namespace tavik::win
