#pragma once
// What a check shows in the tray: the new-mail icon with its count, the mail-error icon with
// what went wrong, or the new-mail icon taken away; and whether a sound goes with it.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/mail/mail_check_result.h"

namespace tavik::mailbox {

enum class MailNotice {
    Nothing,        // leave both icons as they are
    NewMail,        // the new-mail icon, its tip naming count and user
    NetworkFailed,  // the error icon, its tip naming the host
    ServerFailed,   // the error icon, its tip naming the host
    LoginRejected,  // the error icon, its tip naming the user
    CountFailed,    // the error icon, its tip naming the user
    RemoveNewMail,  // take the new-mail icon away (never the error icon)
};

struct MailAnnouncement {
    MailNotice notice = MailNotice::Nothing;
    std::int32_t count = 0;  // NewMail: the count the tip gives
    std::string text;        // the user name or the host, as the notice names it
    bool playSound = false;  // NewMail: "MailBeep"; the error icon: "SystemExclamation"
};

// Decides against lastMailCount, the count the previous check announced. A rising count is
// announced with the sound; POP3 shows nothing for a count that did not rise, IMAP4 refreshes
// the tip silently; a count of 0 or less takes the icon away. Failures show the error icon,
// with the sound except for an IMAP4 count failure.
MailAnnouncement DecideMailAnnouncement(const MailCheckResult& result, std::int32_t lastMailCount, bool playSound);

// The texts of the tips: formats taking the count ("%d") and the user ("%s"), or one "%s".
struct MailTipFormats {
    std::string newMail;
    std::string networkFailed;
    std::string serverFailed;
    std::string loginRejected;
    std::string countFailed;
};

// A tray tip holds 63 characters.
inline constexpr std::size_t kMailTipLength = 63;

// The announcement's tip, cut to kMailTipLength; empty when it shows no icon.
std::string MailTip(const MailAnnouncement& announcement, const MailTipFormats& formats);

}  // namespace tavik::mailbox
