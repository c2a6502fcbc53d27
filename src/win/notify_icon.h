#pragma once
// Tray (notification area) icons by window and identifier.

#include <windows.h>

#include <initializer_list>

namespace tavik::win {

// Takes the icons with these identifiers of window out of the tray; absent ones are ignored.
void DeleteNotifyIcons(HWND window, std::initializer_list<UINT> ids);

}  // namespace tavik::win
