#pragma once
// One mail check: connect to the configured server, run the POP3 or IMAP4 dialogue, report the
// progress codes and announce the outcome, then say goodbye and close. Made for a thread of its
// own: Run blocks (each step up to its limit, kMailStepLimit) and Cancel stops it from any other
// thread.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

#include "core/mail/mail_announcement.h"
#include "core/mail/mail_check_request.h"
#include "core/mail/mail_check_result.h"
#include "core/mail/mail_dialogue.h"
#include "core/mail/socket_channel.h"

namespace tavik::mailbox {

// Where a check reports; both are called on the check's thread, either may be empty. They must
// not wait for a thread that may call Cancel, as Cancel waits for a report under way.
struct MailCheckReports {
    std::function<void(std::uint32_t code)> progress;                    // the codes of mail_progress.h
    std::function<void(const MailAnnouncement& announcement)> announce;  // never with MailNotice::Nothing
};

class MailCheck {
public:
    // lastMailCount is the count the previous check announced, shared by all checks; a check
    // that counts sets it. stepLimit bounds the connection and each command with its answer.
    MailCheck(MailCheckRequest request, std::atomic<std::int32_t>& lastMailCount, MailCheckReports reports,
              std::chrono::milliseconds stepLimit = kMailStepLimit)
        : request_(std::move(request)),
          lastMailCount_(lastMailCount),
          reports_(std::move(reports)),
          stepLimit_(stepLimit),
          channel_(stepLimit) {}
    MailCheck(const MailCheck&) = delete;
    MailCheck& operator=(const MailCheck&) = delete;

    // Once. The result is Cancelled when a cancel came before the outcome was reported.
    MailCheckResult Run();

    // Any thread. When it returns, the check reports and announces nothing more and leaves
    // lastMailCount alone; its connection is shut down and Run returns soon (a host-name lookup
    // under way is waited for).
    void Cancel();

private:
    // Runs report unless cancelled, holding off Cancel meanwhile; false when cancelled.
    bool Publish(const std::function<void()>& report);
    void Progress(std::uint32_t code);
    // Reports the outcome's code and announces it, in the order the outcome asks for.
    void Conclude(MailCheckResult& result, const DialogueOutcome& found);

    const MailCheckRequest request_;
    std::atomic<std::int32_t>& lastMailCount_;
    const MailCheckReports reports_;
    const std::chrono::milliseconds stepLimit_;
    SocketChannel channel_;
    std::mutex reportMutex_;
    bool cancelled_ = false;  // guarded by reportMutex_
};

}  // namespace tavik::mailbox
