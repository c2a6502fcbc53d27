#pragma once
// A mail server made of fuzzed bytes: each receive hands out the bytes up to the next 0xFF (a
// segment boundary), and the server has closed once they are used up. Sends always succeed.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/mail/mail_channel.h"
#include "core/mail/mail_check_result.h"
#include "core/mail/mail_dialogue.h"

namespace tavik::mailbox::fuzzing {

inline void Require(bool condition) {
    if (!condition) std::abort();
}

class ScriptedChannel final : public MailChannel {
public:
    ScriptedChannel(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    bool Send(std::string_view bytes, MailDeadline) override {
        sent += bytes;
        return true;
    }
    bool Receive(std::string& appendTo, MailDeadline) override {
        while (!rest_.empty()) {
            std::string_view segment = rest_.substr(0, rest_.find('\xff'));
            rest_.remove_prefix(std::min(rest_.size(), segment.size() + 1));
            if (segment.empty()) continue;
            appendTo += segment;
            return true;
        }
        return false;
    }

    std::string sent;

private:
    std::string_view rest_;
};

// Runs the dialogue against the fuzzed server. The progress comes in its order, each code once;
// the count is asked for only once the mailbox is open; with sends that succeed nothing fails
// for the network; the commands go out in their order, and the end step's command last.
template <typename Dialogue>
DialogueOutcome RunScripted(const std::uint8_t* data, std::size_t size, std::string_view commands,
                            std::string_view endCommand, std::string_view password = "pass") {
    ScriptedChannel channel(data, size);
    Dialogue dialogue(channel);
    std::vector<std::uint32_t> progress;
    DialogueOutcome found = dialogue.Run("user", password, [&](std::uint32_t code) { progress.push_back(code); });
    for (std::size_t i = 0; i < progress.size(); ++i) Require(progress[i] == 3 + i);
    bool counting = found.outcome == MailCheckOutcome::Counted || found.outcome == MailCheckOutcome::CountFailed;
    Require(counting == (progress.size() == 3));
    Require(found.outcome != MailCheckOutcome::NetworkFailed && found.outcome != MailCheckOutcome::Cancelled);
    dialogue.End();
    Require(channel.sent.ends_with(endCommand));
    Require(commands.starts_with(std::string_view(channel.sent).substr(0, channel.sent.size() - endCommand.size())));
    return found;
}

}  // namespace tavik::mailbox::fuzzing
