#include "mail/mail_account.h"

#include "core/settings/settings_store.h"

namespace tavik::mail {

MailAccountView CurrentMailAccount() {
    auto settings = ProcessSettings().Current();
    return {settings->UserName, settings->IncomingMailServer, settings->EmailProgram};
}

}  // namespace tavik::mail
