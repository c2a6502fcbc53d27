#include "core/mail/pop3_dialogue.h"

#include <string>

#include "core/mail/mail_progress.h"
#include "core/mail/pop3_reply.h"

namespace tavik::mail {
namespace {

std::string Command(std::string_view verb, std::string_view argument) {
    std::string command(verb);
    command += ' ';
    command += argument;
    command += "\r\n";
    return command;
}

}  // namespace

DialogueOutcome Pop3Dialogue::Run(std::string_view userName, std::string_view password,
                                  const ProgressReport& progress) {
    // A reply that never comes reads as a refusal, like one that says so.
    auto accepted = [this] {
        std::optional<std::string> reply = reader_.ReadLine();
        return reply && IsPop3Accepted(*reply);
    };
    if (!accepted()) return {MailCheckOutcome::ServerFailed};
    progress(MailServerReady);
    if (!channel_.Send(Command("USER", userName))) return {MailCheckOutcome::NetworkFailed};
    if (!accepted()) return {MailCheckOutcome::LoginRejected};
    if (!channel_.Send(Command("PASS", password))) return {MailCheckOutcome::NetworkFailed};
    if (!accepted()) return {MailCheckOutcome::LoginRejected};
    progress(MailLoggedIn);
    progress(MailboxOpened);
    if (!channel_.Send("STAT\r\n")) return {MailCheckOutcome::NetworkFailed};
    std::optional<std::int32_t> count = Pop3StatCount(reader_.ReadLine().value_or(std::string()));
    if (!count) return {MailCheckOutcome::CountFailed};
    return {MailCheckOutcome::Counted, *count};
}

void Pop3Dialogue::End() {
    if (channel_.Send("QUIT\r\n")) reader_.ReadLine();
}

}  // namespace tavik::mail
