#include "core/mail/pop3_dialogue.h"

#include "core/mail/mail_progress.h"
#include "core/mail/pop3_reply.h"

namespace tavik::mailbox {
namespace {

std::string Command(std::string_view verb, std::string_view argument) {
    std::string command(verb);
    command += ' ';
    command += argument;
    command += "\r\n";
    return command;
}

}  // namespace

std::optional<std::string> Pop3Dialogue::Step(std::string_view command, bool& sendFailed) {
    const MailDeadline deadline = MailClock::now() + stepLimit_;
    sendFailed = !command.empty() && !channel_.Send(command, deadline);
    if (sendFailed) return std::nullopt;
    return reader_.ReadLine(deadline);
}

DialogueOutcome Pop3Dialogue::Run(std::string_view userName, std::string_view password,
                                  const ProgressReport& progress) {
    bool sendFailed = false;
    // A reply that never comes reads as a refusal, like one that says so.
    auto accepted = [](const std::optional<std::string>& reply) { return reply && IsPop3Accepted(*reply); };
    if (!accepted(Step({}, sendFailed))) return {MailCheckOutcome::ServerFailed};
    progress(MailServerReady);
    std::optional<std::string> reply = Step(Command("USER", userName), sendFailed);
    if (sendFailed) return {MailCheckOutcome::NetworkFailed};
    if (!accepted(reply)) return {MailCheckOutcome::LoginRejected};
    reply = Step(Command("PASS", password), sendFailed);
    if (sendFailed) return {MailCheckOutcome::NetworkFailed};
    if (!accepted(reply)) return {MailCheckOutcome::LoginRejected};
    progress(MailLoggedIn);
    progress(MailboxOpened);
    reply = Step("STAT\r\n", sendFailed);
    if (sendFailed) return {MailCheckOutcome::NetworkFailed};
    std::optional<std::int32_t> count = Pop3StatCount(reply.value_or(std::string()));
    if (!count) return {MailCheckOutcome::CountFailed};
    return {MailCheckOutcome::Counted, *count};
}

void Pop3Dialogue::End() {
    bool sendFailed = false;
    Step("QUIT\r\n", sendFailed);
}

}  // namespace tavik::mailbox
