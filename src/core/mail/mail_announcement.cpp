#include "core/mail/mail_announcement.h"

#include "core/text/format.h"

namespace tavik::mailbox {

MailAnnouncement DecideMailAnnouncement(const MailCheckResult& result, std::int32_t lastMailCount, bool playSound) {
    bool imap4 = result.protocol == MailProtocol::Imap4;
    switch (result.outcome) {
    case MailCheckOutcome::Counted:
        if (result.count <= 0) return {MailNotice::RemoveNewMail, 0, result.userName, false};
        if (result.count > lastMailCount) return {MailNotice::NewMail, result.count, result.userName, playSound};
        if (imap4) return {MailNotice::NewMail, result.count, result.userName, false};
        return {};
    case MailCheckOutcome::NetworkFailed: return {MailNotice::NetworkFailed, 0, result.host, playSound};
    case MailCheckOutcome::ServerFailed: return {MailNotice::ServerFailed, 0, result.host, playSound};
    case MailCheckOutcome::LoginRejected: return {MailNotice::LoginRejected, 0, result.userName, playSound};
    case MailCheckOutcome::CountFailed: return {MailNotice::CountFailed, 0, result.userName, playSound && !imap4};
    case MailCheckOutcome::Cancelled: return {};
    }
    return {};
}

std::string MailTip(const MailAnnouncement& announcement, const MailTipFormats& formats) {
    const std::string* format = nullptr;
    switch (announcement.notice) {
    case MailNotice::NewMail:
        return CutText(FormatText(formats.newMail, {std::int64_t{announcement.count}, announcement.text}),
                       kMailTipLength);
    case MailNotice::NetworkFailed: format = &formats.networkFailed; break;
    case MailNotice::ServerFailed: format = &formats.serverFailed; break;
    case MailNotice::LoginRejected: format = &formats.loginRejected; break;
    case MailNotice::CountFailed: format = &formats.countFailed; break;
    case MailNotice::Nothing:
    case MailNotice::RemoveNewMail: return std::string();
    }
    return CutText(FormatText(*format, {announcement.text}), kMailTipLength);
}

}  // namespace tavik::mailbox
