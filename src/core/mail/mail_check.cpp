#include "core/mail/mail_check.h"

#include <memory>

#include "core/mail/imap4_dialogue.h"
#include "core/mail/mail_progress.h"
#include "core/mail/mail_server_address.h"
#include "core/mail/pop3_dialogue.h"

namespace tavik::mailbox {
namespace {

std::uint32_t ProgressCodeOf(const DialogueOutcome& found) {
    switch (found.outcome) {
    case MailCheckOutcome::Counted: return MailCounted(found.count);
    case MailCheckOutcome::NetworkFailed: return MailNetworkFailed;
    case MailCheckOutcome::ServerFailed: return MailServerFailed;
    case MailCheckOutcome::LoginRejected: return MailLoginRejected;
    case MailCheckOutcome::CountFailed:
    case MailCheckOutcome::Cancelled: break;
    }
    return MailCountFailed;
}

}  // namespace

bool MailCheck::Publish(const std::function<void()>& report) {
    std::lock_guard lock(reportMutex_);
    if (cancelled_) return false;
    report();
    return true;
}

void MailCheck::Progress(std::uint32_t code) {
    Publish([&] {
        if (reports_.progress) reports_.progress(code);
    });
}

void MailCheck::Cancel() {
    {
        // First, so that the failures the interruption causes are never reported.
        std::lock_guard lock(reportMutex_);
        cancelled_ = true;
    }
    channel_.Interrupt();
}

void MailCheck::Conclude(MailCheckResult& result, const DialogueOutcome& found) {
    // Unreported, the result stays Cancelled.
    Publish([&] {
        result.outcome = found.outcome;
        result.count = found.outcome == MailCheckOutcome::Counted ? found.count : 0;
        std::int32_t last =
            found.outcome == MailCheckOutcome::Counted ? lastMailCount_.exchange(result.count) : lastMailCount_.load();
        MailAnnouncement announcement = DecideMailAnnouncement(result, last, request_.playSound);
        auto announce = [&] {
            if (reports_.announce && announcement.notice != MailNotice::Nothing) reports_.announce(announcement);
        };
        // A count failure is shown before it is reported; everything else the other way round.
        if (found.outcome != MailCheckOutcome::CountFailed) {
            if (reports_.progress) reports_.progress(ProgressCodeOf(found));
            announce();
        } else {
            announce();
            if (reports_.progress) reports_.progress(MailCountFailed);
        }
    });
}

MailCheckResult MailCheck::Run() {
    bool imap4 = request_.serverType == kImap4ServerType;
    MailServerAddress server = SplitMailServer(request_.server, imap4 ? kImap4Port : kPop3Port);
    MailCheckResult result{imap4 ? MailProtocol::Imap4 : MailProtocol::Pop3, MailCheckOutcome::Cancelled, 0,
                           server.host, request_.userName};

    if (!channel_.Open()) {
        Conclude(result, {MailCheckOutcome::NetworkFailed});
        return result;
    }
    Progress(MailStarted);
    std::optional<std::uint32_t> address = net::ResolveIPv4(server.host);
    if (!address || !channel_.Connect({*address, server.port}, request_.localAddress)) {
        Conclude(result, {MailCheckOutcome::NetworkFailed});
        channel_.Close();
        return result;
    }
    Progress(MailConnected);

    std::unique_ptr<MailDialogue> dialogue;
    if (imap4) {
        dialogue = std::make_unique<Imap4Dialogue>(channel_, stepLimit_);
    } else {
        dialogue = std::make_unique<Pop3Dialogue>(channel_, stepLimit_);
    }
    DialogueOutcome found =
        dialogue->Run(request_.userName, request_.password, [this](std::uint32_t code) { Progress(code); });
    Conclude(result, found);
    // Goodbye whatever happened; after a cancel the connection is already shut down.
    if (result.outcome != MailCheckOutcome::Cancelled) dialogue->End();
    channel_.Close();
    return result;
}

}  // namespace tavik::mailbox
