#pragma once
// Which mail checks may start. A scheduled check starts only when no check runs: against a
// server that never answers, each timer tick would otherwise add one more check waiting out its
// steps. A check the user asks for starts whatever runs.

#include <cstddef>
#include <mutex>

namespace tavik::mailbox {

enum class MailCheckStart { Scheduled, OnDemand };

class MailCheckGate {
public:
    // True when a check of this kind may start now; it then counts as running until Leave.
    bool Enter(MailCheckStart start);
    // Once for each Enter that said true.
    void Leave();

private:
    std::mutex mutex_;
    std::size_t running_ = 0;
};

}  // namespace tavik::mailbox
