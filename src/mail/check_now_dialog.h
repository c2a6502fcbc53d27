#pragma once
// Check now: one mailbox check at the user's request in a small modal dialog with a status line,
// a progress bar and a button that cancels the check while it runs and closes the dialog after.

#include <windows.h>

#include "mail/mail_context.h"

namespace tavik::mail {

// Brings the open dialog forward, or runs a new one modal to owner. With the options' mail page
// open the check uses the page's fields, saved or not; else the account of the periodic checks.
void OpenCheckNowDialog(const MailContext& context, HWND owner);

}  // namespace tavik::mail
