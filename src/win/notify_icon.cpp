#include "win/notify_icon.h"

#include <shellapi.h>

namespace tavik::win {

void DeleteNotifyIcons(HWND window, std::initializer_list<UINT> ids) {
    for (UINT id : ids) {
        NOTIFYICONDATAA record{};
        record.cbSize = NOTIFYICONDATAA_V1_SIZE;
        record.hWnd = window;
        record.uID = id;
        Shell_NotifyIconA(NIM_DELETE, &record);
    }
}

}  // namespace tavik::win
