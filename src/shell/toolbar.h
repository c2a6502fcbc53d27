#pragma once
// The main window's flat toolbar with labelled buttons, its layout and painted decorations.

#include <windows.h>

namespace tavik::shell {

extern HWND Toolbar;

HWND CreateToolbar(HWND mainWindow, bool withOptions);
void EnableToolbarButton(int command, bool enabled);
// Copy is enabled only while the focused control is an edit with a selection.
void ApplyCopyButtonRule();
// Widens the dialog to the toolbar once at initialisation; false when the toolbar cannot be measured.
bool FitLayout(HWND mainWindow, bool withOptions);
void PaintDecorations(HWND mainWindow);

}  // namespace tavik::shell
