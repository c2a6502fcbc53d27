#pragma once
// The IMAP4 check: CAPABILITY, LOGIN, EXAMINE INBOX (read-only: no flag changes), then SEARCH
// for messages unseen, not deleted and not drafts; the count is the numbers the search lists.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/mail/imap4_command.h"
#include "core/mail/imap4_response.h"
#include "core/mail/line_reader.h"
#include "core/mail/mail_channel.h"
#include "core/mail/mail_dialogue.h"

namespace tavik::mailbox {

class Imap4Dialogue final : public MailDialogue {
public:
    explicit Imap4Dialogue(MailChannel& channel, std::chrono::milliseconds stepLimit = kMailStepLimit)
        : channel_(channel), reader_(channel), stepLimit_(stepLimit) {}

    DialogueOutcome Run(std::string_view userName, std::string_view password, const ProgressReport& progress) override;
    void End() override;

private:
    struct Response {
        std::optional<Imap4TaggedLine> tagged;    // nothing when the tagged line never came
        std::optional<std::int32_t> searchCount;  // from the first untagged SEARCH line
        bool Passed() const { return tagged && tagged->status == Imap4Status::Ok; }
    };

    // Sends the command's parts and reads lines until the one tagged with tag, all within one
    // step; false when a send failed.
    bool Exchange(const Imap4CommandParts& command, std::string_view tag, Response& response);
    // Reads the lines up to the one tagged with tag, which stays unset when it never came. With
    // untilContinuation a continuation request ends the reading too: true when one came.
    bool ReadResponse(std::string_view tag, MailDeadline deadline, Response& response, bool untilContinuation);

    MailChannel& channel_;
    LineReader reader_;
    const std::chrono::milliseconds stepLimit_;
};

}  // namespace tavik::mailbox
