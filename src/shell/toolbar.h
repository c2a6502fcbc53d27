#pragma once
// The main window's flat toolbar with labelled buttons, its layout and painted decorations, all
// sized for the DPI of the main window.

#include <windows.h>

namespace tavik::shell {

extern HWND Toolbar;

HWND CreateToolbar(HWND mainWindow, bool withOptions);
void EnableToolbarButton(int command, bool enabled);
// Copy is enabled only while the focused control is an edit with a selection.
void ApplyCopyButtonRule();
// Widens the dialog to the toolbar once at initialisation; false when the toolbar cannot be measured.
// From then on the window's layout follows DPI changes through FollowDpiChange alone.
bool FitLayout(HWND mainWindow, bool withOptions);
// The window moved to a monitor of another DPI (WM_DPICHANGED): it takes the suggested rectangle,
// its controls and fonts are scaled, the toolbar is made again with pictures for that DPI.
void FollowDpiChange(HWND mainWindow, UINT dpi, const RECT& suggested, bool withOptions);
void PaintDecorations(HWND mainWindow);

}  // namespace tavik::shell
