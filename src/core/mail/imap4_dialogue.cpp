#include "core/mail/imap4_dialogue.h"

#include <string>

#include "core/mail/mail_progress.h"

namespace tavik::mail {

bool Imap4Dialogue::Exchange(std::string_view command, std::string_view tag, Response& response) {
    if (!channel_.Send(command)) return false;
    while (std::optional<std::string> line = reader_.ReadLine()) {
        response.tagged = ParseImap4TaggedLine(*line, tag);
        if (response.tagged) break;
        if (!response.searchCount) response.searchCount = CountSearchNumbers(*line);
    }
    return true;
}

DialogueOutcome Imap4Dialogue::Run(std::string_view userName, std::string_view password,
                                   const ProgressReport& progress) {
    std::optional<std::string> greeting = reader_.ReadLine();
    if (!greeting || !IsImap4Greeting(*greeting)) return {MailCheckOutcome::ServerFailed};

    Response capabilities;
    if (!Exchange("a01 CAPABILITY \r\n", "a01", capabilities)) return {MailCheckOutcome::NetworkFailed};
    if (!capabilities.Passed()) return {MailCheckOutcome::ServerFailed};
    progress(MailServerReady);

    // User name and password go as they stand: no quoting, no literal.
    std::string login = "a02 LOGIN ";
    login.append(userName).append(" ").append(password).append("\r\n");
    Response loggedIn;
    if (!Exchange(login, "a02", loggedIn)) return {MailCheckOutcome::NetworkFailed};
    if (!loggedIn.Passed()) return {MailCheckOutcome::LoginRejected};
    progress(MailLoggedIn);

    Response examined;
    if (!Exchange("a03 EXAMINE INBOX\r\n", "a03", examined)) return {MailCheckOutcome::NetworkFailed};
    if (!examined.Passed() || !examined.tagged->readOnly) return {MailCheckOutcome::ServerFailed};
    progress(MailboxOpened);

    Response searched;
    if (!Exchange("a04 SEARCH UNSEEN UNDELETED UNDRAFT\r\n", "a04", searched)) {
        return {MailCheckOutcome::NetworkFailed};
    }
    if (!searched.Passed()) return {MailCheckOutcome::CountFailed};
    return {MailCheckOutcome::Counted, searched.searchCount.value_or(0)};
}

void Imap4Dialogue::End() {
    Response loggedOut;
    Exchange("a05 LOGOUT\r\n", "a05", loggedOut);
}

}  // namespace tavik::mail
