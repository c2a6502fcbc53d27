#include "mail/email_program.h"

#include <string>

#include "mail/mail_account.h"
#include "mail/mail_tray_icons.h"

namespace tavik::mail {

void LaunchEmailProgram(HWND mainWindow) {
    std::string command = EmailProgramCommand();
    WinExec(command.c_str(), SW_SHOW);
    RemoveMailIcons(mainWindow);
}

}  // namespace tavik::mail
