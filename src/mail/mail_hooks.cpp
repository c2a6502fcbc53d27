#include "mail/mail_hooks.h"

#include "core/settings/settings_store.h"

namespace tavik::shell {

MailAccountView CurrentMailAccount() {
    auto settings = ProcessSettings().Current();
    return {settings->UserName, settings->IncomingMailServer, settings->EmailProgram};
}

void StartMailCheck(HWND) {}

void OpenCheckNowDialog(HWND) {}

}  // namespace tavik::shell
