#pragma once
// The DPI a window is drawn for and sizes that follow it. The per-monitor calls of Windows 10 are
// looked up at run time; older systems get the screen's DPI and the system metrics instead.

#include <windows.h>

#include "win/scoped_handles.h"

namespace tavik::win {

inline constexpr UINT kDefaultDpi = 96;  // the DPI that sizes in dialog templates and pictures are made for

// The DPI of the monitor the window is on (per-monitor awareness), else the screen's.
UINT WindowDpi(HWND window);
// The DPI the system started the session with (the taskbar's icons follow it).
UINT SystemDpi();

// A length of the 96-DPI design at dpi.
inline int ScaleForDpi(int length, UINT dpi) { return MulDiv(length, static_cast<int>(dpi), kDefaultDpi); }

// GetSystemMetricsForDpi where it exists, else the system's metric scaled from the system DPI.
int SystemMetricForDpi(int index, UINT dpi);
// Side of a small icon (tray, caption) at the system DPI.
int SmallIconSize();

// An icon of module (the system's icons with module null) at size × size pixels, picked from the
// resource's images rather than stretched from the default size.
Icon LoadIconOfSize(HINSTANCE module, LPCSTR name, int size);

// Leaves a dialog's reaction to a DPI change to its own procedure (Windows 10 1703 and later scale
// dialogs themselves unless told not to).
void TakeOverDialogDpiChanges(HWND dialog);

// Moves and sizes every child window of parent (except skip) by newDpi / oldDpi, relative to the
// parent's client area.
void ScaleChildWindows(HWND parent, UINT oldDpi, UINT newDpi, HWND skip = nullptr);

}  // namespace tavik::win
