#pragma once
// The POP3 check: USER, PASS, STAT; the count is every message of the maildrop, read or not.

#include "core/mail/line_reader.h"
#include "core/mail/mail_channel.h"
#include "core/mail/mail_dialogue.h"

namespace tavik::mail {

class Pop3Dialogue final : public MailDialogue {
public:
    explicit Pop3Dialogue(MailChannel& channel) : channel_(channel), reader_(channel) {}

    DialogueOutcome Run(std::string_view userName, std::string_view password, const ProgressReport& progress) override;
    void End() override;

private:
    MailChannel& channel_;
    LineReader reader_;
};

}  // namespace tavik::mail
