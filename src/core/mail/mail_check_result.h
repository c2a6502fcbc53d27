#pragma once
// What one mail check found out.

#include <cstdint>
#include <string>

namespace tavik::mailbox {

enum class MailProtocol { Pop3, Imap4 };

enum class MailCheckOutcome {
    Counted,
    NetworkFailed,  // no connection, or a send failed
    ServerFailed,   // an unexpected answer before the login, or to opening INBOX
    LoginRejected,
    CountFailed,  // the count could not be read from the answer
    Cancelled,    // stopped from outside before it reported its outcome
};

struct MailCheckResult {
    MailProtocol protocol = MailProtocol::Pop3;
    MailCheckOutcome outcome = MailCheckOutcome::Cancelled;
    std::int32_t count = 0;  // POP3: messages in the maildrop; IMAP4: unseen in INBOX; 0 unless counted
    std::string host;        // the server setting's host part, named by network and server failures
    std::string userName;
};

}  // namespace tavik::mailbox
