#pragma once
// The program's fonts: heading (options pages), message text (control 1000), dialog (toolbar labels).

#include <windows.h>

#include <cstdint>

namespace tavik::shell {

HFONT HeadingFont();
HFONT MessageFont();
HFONT DialogFont();

// Builds the heading font once, remakes the message font for the size, takes the dialog font once.
void BuildFonts(HWND mainWindow, std::uint32_t size);
void ReleaseFonts();

// Font commands: one step larger or smaller; beeps at the ends. Returns the new size.
std::uint32_t StepFontLarger(std::uint32_t size);
std::uint32_t StepFontSmaller(std::uint32_t size);

}  // namespace tavik::shell
