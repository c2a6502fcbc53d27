#include "mail/mail_account.h"

#include "core/settings/settings_store.h"
#include "mail/shown_mail_account.h"

namespace tavik::mail {
namespace {

constexpr size_t kCommandLineLimit = 260;

}  // namespace

MailAccountView CurrentMailAccount() {
    if (std::optional<ShownMailAccount> shown = MailAccountShown()) {
        return {shown->request.userName, shown->request.server, shown->emailProgram};
    }
    auto settings = ProcessSettings().Current();
    return {settings->UserName, settings->IncomingMailServer, settings->EmailProgram};
}

std::string EmailProgramCommand() {
    std::string command = CurrentMailAccount().emailProgram;
    if (command.size() > kCommandLineLimit) command.resize(kCommandLineLimit);
    return command;
}

}  // namespace tavik::mail
