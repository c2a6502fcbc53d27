#pragma once
// What the mail subsystem needs of the program: the window whose tray icons it shows, the
// resource module with the tips' texts, and the program with the new-mail icon.

#include <windows.h>

namespace tavik::mail {

struct MailContext {
    HWND mainWindow = nullptr;
    HINSTANCE resources = nullptr;
    HINSTANCE program = nullptr;
};

}  // namespace tavik::mail
