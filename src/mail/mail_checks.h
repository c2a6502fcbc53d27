#pragma once
// Mailbox checks, each on a thread of its own with a private copy of its request, so the
// request it came from may change or go while it runs. The window never waits for a check;
// at exit the checks still running are cancelled and waited for within a bound.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "core/mail/mail_check_gate.h"
#include "core/mail/mail_check_request.h"
#include "mail/mail_context.h"

namespace tavik::mail {

// The count the last check announced, shared by every check.
std::atomic<std::int32_t>& LastMailCount();

struct RunningCheck;
// A check that its starter may cancel; empty when the check could not be started.
using CheckHandle = std::shared_ptr<RunningCheck>;

// Starts one check. progressWindow, when given, gets kMailCheckProgress with each progress code.
// A check that was cancelled shows and posts nothing afterwards. A scheduled check starts only
// when no check runs (a cancelled one no longer counts); empty when it did not start.
CheckHandle StartCheck(const MailContext& context, mailbox::MailCheckRequest request, HWND progressWindow = nullptr,
                       mailbox::MailCheckStart start = mailbox::MailCheckStart::OnDemand);

// Cancels one check at once: its connection is shut and it reports, shows and counts nothing more.
void CancelCheck(const CheckHandle& check);

// Cancels the scheduled checks still running, which work on the account as it was when they began.
void CancelScheduledChecks();

// Cancels every running check and waits up to boundMs for their threads to end.
void CancelAllChecks(DWORD boundMs);

}  // namespace tavik::mail
