#pragma once
// The byte stream a mail dialogue talks over: a TCP connection in the program, a script in tests.

#include <chrono>
#include <string>
#include <string_view>

namespace tavik::mailbox {

using MailClock = std::chrono::steady_clock;
// The end of one step: the connection, or one command with its whole answer. Bytes that keep
// trickling in do not move it, so a server that sends one byte at a time cannot hold a check.
using MailDeadline = MailClock::time_point;

// How long one step may take in all.
inline constexpr std::chrono::milliseconds kMailStepLimit{180000};

class MailChannel {
public:
    virtual ~MailChannel() = default;
    // All the bytes, or false (also when the deadline passes first).
    virtual bool Send(std::string_view bytes, MailDeadline deadline) = 0;
    // Appends the bytes that came next, at least one; false when none will come before the
    // deadline (the peer closed, the deadline passed, the connection failed or was interrupted).
    virtual bool Receive(std::string& appendTo, MailDeadline deadline) = 0;
};

}  // namespace tavik::mailbox
