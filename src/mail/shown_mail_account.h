#pragma once
// The mail account as the options sheet's mail page shows it while it is open, saved or not:
// check now, the mail icon's menu and the e-mail program take it from there. The page hands over
// a function that reads its own fields, so nothing here knows the page's controls.

#include <functional>
#include <optional>
#include <string>

#include "core/mail/mail_check_request.h"

namespace tavik::mail {

struct ShownMailAccount {
    mailbox::MailCheckRequest request;
    std::string emailProgram;
};

// Nothing while the page is not shown.
using MailAccountOnPage = std::function<std::optional<ShownMailAccount>()>;

// The mail page gives its reader when it is made and an empty one when it goes. Used on the main
// window's thread only (the sheet is modal to it).
void SetMailAccountOnPage(MailAccountOnPage reader);
// What the open page shows; nothing when no page is shown.
std::optional<ShownMailAccount> MailAccountShown();

}  // namespace tavik::mail
