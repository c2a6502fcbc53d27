#pragma once
// The program's fonts: heading (options pages), message text (control 1000), dialog (toolbar labels).
// All follow the DPI of the main window; the message font keeps the user's point size.

#include <windows.h>

#include <cstdint>

namespace tavik::shell {

HFONT HeadingFont();
HFONT MessageFont();
HFONT DialogFont();

// Builds the heading font once per DPI, remakes the message font for the size, takes the dialog font once.
void BuildFonts(HWND mainWindow, std::uint32_t size);
// The main window moved to a monitor of another DPI: every font is remade for it (the message font
// at the size it has), and the window's controls but the message text get the dialog font of that DPI.
void FollowDpiWithFonts(HWND mainWindow, UINT dpi);
void ReleaseFonts();

// Font commands: one step larger or smaller; beeps at the ends. Returns the new size.
std::uint32_t StepFontLarger(std::uint32_t size);
std::uint32_t StepFontSmaller(std::uint32_t size);

}  // namespace tavik::shell
