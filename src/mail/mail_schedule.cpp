#include "mail/mail_schedule.h"

#include "core/settings/settings_store.h"
#include "mail/mail_checks.h"
#include "window_messages.h"

namespace tavik::mail {
namespace {

constexpr UINT kMillisecondsPerMinute = 60000;

// The account of the periodic checks, as the settings held it at the last start of the schedule.
mailbox::MailCheckRequest PeriodicRequest;
HWND PeriodicProgressWindow = nullptr;

}  // namespace

void StartMailSchedule(const MailContext& context) {
    const auto settings = ProcessSettings().Current();
    PeriodicRequest = mailbox::MailCheckRequest{};
    PeriodicRequest.userName = settings->UserName;
    PeriodicRequest.password = settings->Password;
    PeriodicRequest.server = settings->IncomingMailServer;
    PeriodicRequest.serverType = settings->MailServerType;
    PeriodicRequest.playSound = settings->PlayMailSound != 0;
    if (settings->CheckMail != 0 && settings->TimeChecking > 0 && settings->DisableMailNotification == 0) {
        StartMailCheck(context);
        const UINT period = settings->TimeChecking > 0xFFFFFFFFu / kMillisecondsPerMinute
                                ? 0xFFFFFFFFu
                                : settings->TimeChecking * kMillisecondsPerMinute;
        SetTimer(context.mainWindow, kMailCheckTimer, period, nullptr);
    } else {
        KillTimer(context.mainWindow, kMailCheckTimer);
    }
}

void StopMailSchedule(HWND mainWindow) {
    KillTimer(mainWindow, kMailCheckTimer);
    // Before new settings or after a suspend a check still waiting is out of date; it would also
    // hold off the check that starts with the schedule.
    CancelScheduledChecks();
}

void StartMailCheck(const MailContext& context) {
    StartCheck(context, PeriodicRequest, PeriodicProgressWindow, mailbox::MailCheckStart::Scheduled);
}

mailbox::MailCheckRequest PeriodicMailRequest() { return PeriodicRequest; }

void SetPeriodicProgressWindow(HWND window) { PeriodicProgressWindow = window; }

}  // namespace tavik::mail
