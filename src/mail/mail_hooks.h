#pragma once
// What the shell asks of the mail subsystem. The mailbox check itself is not built yet:
// these say what the account is and start nothing.

#include <windows.h>

#include <string>

namespace tavik::shell {

struct MailAccountView {
    std::string userName;
    std::string server;
    std::string emailProgram;
};

// The account as the open mail page shows it, else as the settings hold it.
MailAccountView CurrentMailAccount();
// Timer 1: a periodic mailbox check.
void StartMailCheck(HWND mainWindow);
// Check now (Ctrl+Alt+M, tray menu).
void OpenCheckNowDialog(HWND mainWindow);

}  // namespace tavik::shell
