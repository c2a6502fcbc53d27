#pragma once
// One protocol's conversation with the mail server, from the greeting to the count, and the
// end step that says goodbye whatever happened before.

#include <cstdint>
#include <functional>
#include <string_view>

#include "core/mail/mail_check_result.h"

namespace tavik::mailbox {

using ProgressReport = std::function<void(std::uint32_t code)>;

struct DialogueOutcome {
    MailCheckOutcome outcome = MailCheckOutcome::Counted;
    std::int32_t count = 0;  // meaningful when counted
};

class MailDialogue {
public:
    virtual ~MailDialogue() = default;
    // Starts at the server's greeting; reports MailServerReady to MailboxOpened as they are
    // reached. The failure codes are the caller's to report.
    virtual DialogueOutcome Run(std::string_view userName, std::string_view password,
                                const ProgressReport& progress) = 0;
    // Says QUIT or LOGOUT and waits for the answer, which is not judged.
    virtual void End() = 0;
};

}  // namespace tavik::mailbox
