#pragma once
// What a check shows in the tray: the new-mail icon (119) or the mail-error icon (1102), each
// with its tip and sound, or the new-mail icon taken away. Called on the check's thread.

#include "core/mail/mail_announcement.h"
#include "mail/mail_context.h"

namespace tavik::mail {

void NotifyMailState(const MailContext& context, const mailbox::MailAnnouncement& announcement);
// Takes the error icon away: every check starts with it.
void RemoveMailErrorIcon(const MailContext& context);

}  // namespace tavik::mail
