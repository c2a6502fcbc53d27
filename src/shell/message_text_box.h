#pragma once
// The message text box (control 1000): shows a message with display-only breaks in long runs,
// and copies the bytes of the message, never the added breaks.

#include <windows.h>

#include <string>

namespace tavik::shell {

// Takes over the box's copy (the Copy button, Ctrl+C and the box's own menu all end in WM_COPY).
void AttachMessageTextBox(HWND mainWindow);
void ShowMessageText(HWND mainWindow, const std::string& text);

}  // namespace tavik::shell
