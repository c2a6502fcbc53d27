#include "core/mail/imap4_dialogue.h"

#include <string>

#include "core/mail/mail_progress.h"

namespace tavik::mailbox {

bool Imap4Dialogue::ReadResponse(std::string_view tag, MailDeadline deadline, Response& response,
                                 bool untilContinuation) {
    bool lineEnded = false;
    while (std::optional<std::string> piece = reader_.ReadPiece(deadline, lineEnded)) {
        if (lineEnded) {
            response.tagged = ParseImap4TaggedLine(*piece, tag);
            if (response.tagged) return false;
            if (untilContinuation && piece->starts_with('+')) return true;
            if (!response.searchCount) response.searchCount = CountSearchNumbers(*piece);
            continue;
        }
        // Only a search result may outgrow a line; it is counted as it comes.
        SearchNumberCount count;
        if (response.searchCount || !count.Begin(*piece)) return false;
        while (!lineEnded) {
            piece = reader_.ReadPiece(deadline, lineEnded);
            if (!piece) return false;
            count.Add(*piece);
        }
        response.searchCount = count.Finish();
    }
    return false;
}

bool Imap4Dialogue::Exchange(const Imap4CommandParts& command, std::string_view tag, Response& response) {
    const MailDeadline deadline = MailClock::now() + stepLimit_;
    for (std::size_t next = 0; next < command.size(); ++next) {
        if (!channel_.Send(command[next], deadline)) return false;
        // A literal goes once the server asks for it. Without that request the command stays
        // unfinished: a refusal, whatever a tagged answer said instead.
        if (next + 1 < command.size() && !ReadResponse(tag, deadline, response, true)) {
            response.tagged.reset();
            return true;
        }
    }
    ReadResponse(tag, deadline, response, false);
    return true;
}

DialogueOutcome Imap4Dialogue::Run(std::string_view userName, std::string_view password,
                                   const ProgressReport& progress) {
    std::optional<std::string> greeting = reader_.ReadLine(MailClock::now() + stepLimit_);
    if (!greeting || !IsImap4Greeting(*greeting)) return {MailCheckOutcome::ServerFailed};

    Response capabilities;
    if (!Exchange({"a01 CAPABILITY \r\n"}, "a01", capabilities)) return {MailCheckOutcome::NetworkFailed};
    if (!capabilities.Passed()) return {MailCheckOutcome::ServerFailed};
    progress(MailServerReady);

    Response loggedIn;
    if (!Exchange(Imap4LoginCommand("a02", userName, password), "a02", loggedIn)) {
        return {MailCheckOutcome::NetworkFailed};
    }
    if (!loggedIn.Passed()) return {MailCheckOutcome::LoginRejected};
    progress(MailLoggedIn);

    Response examined;
    if (!Exchange({"a03 EXAMINE INBOX\r\n"}, "a03", examined)) return {MailCheckOutcome::NetworkFailed};
    if (!examined.Passed() || !examined.tagged->readOnly) return {MailCheckOutcome::ServerFailed};
    progress(MailboxOpened);

    Response searched;
    if (!Exchange({"a04 SEARCH UNSEEN UNDELETED UNDRAFT\r\n"}, "a04", searched)) {
        return {MailCheckOutcome::NetworkFailed};
    }
    if (!searched.Passed()) return {MailCheckOutcome::CountFailed};
    return {MailCheckOutcome::Counted, searched.searchCount.value_or(0)};
}

void Imap4Dialogue::End() {
    Response loggedOut;
    Exchange({"a05 LOGOUT\r\n"}, "a05", loggedOut);
}

}  // namespace tavik::mailbox
