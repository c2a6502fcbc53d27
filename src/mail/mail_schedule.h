#pragma once
// When mailbox checks run: with the network listeners, one check at once and then one every
// TimeChecking minutes (timer kMailCheckTimer of the main window), when the settings ask for it.

#include <windows.h>

#include "core/mail/mail_check_request.h"
#include "mail/mail_context.h"

namespace tavik::mail {

// Takes a fresh copy of the account for the periodic checks and arms or kills the timer.
void StartMailSchedule(const MailContext& context);
// Kills the timer and cancels the scheduled checks still running.
void StopMailSchedule(HWND mainWindow);
// A tick of the timer: one check of the account copied by the last StartMailSchedule, unless a
// check still runs.
void StartMailCheck(const MailContext& context);

// The account of the periodic checks, and the window that also sees their progress (the
// check-now dialog while it checks with that account; nullptr for none).
mailbox::MailCheckRequest PeriodicMailRequest();
void SetPeriodicProgressWindow(HWND window);

}  // namespace tavik::mail
