#include "mail/email_program.h"

#include "mail/mail_account.h"
#include "mail/mail_tray_icons.h"

namespace tavik::mail {
namespace {

constexpr size_t kCommandLineLimit = 260;

}  // namespace

std::string EmailProgramCommand() {
    std::string command = CurrentMailAccount().emailProgram;
    if (command.size() > kCommandLineLimit) command.resize(kCommandLineLimit);
    return command;
}

void LaunchEmailProgram(HWND mainWindow) {
    std::string command = EmailProgramCommand();
    WinExec(command.c_str(), SW_SHOW);
    RemoveMailIcons(mainWindow);
}

}  // namespace tavik::mail
