#pragma once
// The mail account as the user sees it now.

#include <string>

namespace tavik::mail {

struct MailAccountView {
    std::string userName;
    std::string server;
    std::string emailProgram;
};

// The account as the open mail page shows it, else as the settings hold it.
MailAccountView CurrentMailAccount();

// The e-mail program's command line: the mail page's field while it is shown, else the setting.
std::string EmailProgramCommand();

}  // namespace tavik::mail
