#include "core/mail/mail_check_gate.h"

namespace tavik::mailbox {

bool MailCheckGate::Enter(MailCheckStart start) {
    std::lock_guard lock(mutex_);
    if (start == MailCheckStart::Scheduled && running_ > 0) return false;
    ++running_;
    return true;
}

void MailCheckGate::Leave() {
    std::lock_guard lock(mutex_);
    if (running_ > 0) --running_;
}

}  // namespace tavik::mailbox
