#include "mail/mail_account.h"

#include "core/settings/settings_store.h"
#include "mail/mail_page_window.h"
#include "resource_ids.h"

namespace tavik::mail {

MailAccountView CurrentMailAccount() {
    if (HWND page = OpenMailPage()) {
        return {MailPageText(page, IDC_MAIL_USER), MailPageText(page, IDC_MAIL_SERVER),
                MailPageText(page, IDC_EMAIL_PROGRAM)};
    }
    auto settings = ProcessSettings().Current();
    return {settings->UserName, settings->IncomingMailServer, settings->EmailProgram};
}

}  // namespace tavik::mail
