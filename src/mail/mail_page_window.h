#pragma once
// The options sheet's mail page while it is open: whatever uses the mail account (check now, the
// mail icon's menu, the e-mail program) takes it from the page's fields, saved or not.

#include <windows.h>

#include <optional>
#include <string>

#include "core/mail/mail_check_request.h"

namespace tavik::mail {

// The mail page sets itself when it is made and clears itself when it goes.
void SetMailPageWindow(HWND page);
// The page, when it exists and is visible; nullptr otherwise.
HWND OpenMailPage();

// A check request made of the open page's fields; nullopt when the page is not open.
std::optional<mailbox::MailCheckRequest> RequestFromMailPage();

// The text of one of the page's fields (up to 65535 characters).
std::string MailPageText(HWND page, int controlId);

}  // namespace tavik::mail
