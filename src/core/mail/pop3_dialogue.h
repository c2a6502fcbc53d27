#pragma once
// The POP3 check: USER, PASS, STAT; the count is every message of the maildrop, read or not.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "core/mail/line_reader.h"
#include "core/mail/mail_channel.h"
#include "core/mail/mail_dialogue.h"

namespace tavik::mailbox {

class Pop3Dialogue final : public MailDialogue {
public:
    explicit Pop3Dialogue(MailChannel& channel, std::chrono::milliseconds stepLimit = kMailStepLimit)
        : channel_(channel), reader_(channel), stepLimit_(stepLimit) {}

    DialogueOutcome Run(std::string_view userName, std::string_view password, const ProgressReport& progress) override;
    void End() override;

private:
    // One step: sends command (none for the greeting) and reads the reply line. Nothing when the
    // reply never came; sendFailed tells a failed send apart.
    std::optional<std::string> Step(std::string_view command, bool& sendFailed);

    MailChannel& channel_;
    LineReader reader_;
    const std::chrono::milliseconds stepLimit_;
};

}  // namespace tavik::mailbox
