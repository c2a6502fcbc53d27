#pragma once
// The options' mail page: the mailbox (protocol, server, user, password), periodic checks, the
// mail sound and the e-mail program; "check now" checks with the fields as they stand.

#include <optional>

#include "mail/shown_mail_account.h"
#include "options/options_page.h"

namespace tavik::options {

class MailPage final : public OptionsPage {
public:
    using OptionsPage::OptionsPage;

private:
    bool OnInit() override;
    bool OnCommand(WORD id, WORD notification, HWND control) override;
    bool OnLeave() override;
    void OnDestroy() override;

    // Periodic checks and check now need a user name and a server.
    void ShowUsability();
    // What the fields show, saved or not; nothing while the page is hidden.
    std::optional<mail::ShownMailAccount> ShownAccount() const;
};

}  // namespace tavik::options
