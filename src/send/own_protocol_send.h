#pragma once
// Sending one message by the program's own protocol and reporting the receiver's answers.

#include <ostream>
#include <string>

#include "send/send_options.h"

namespace tavik::send {

inline constexpr int kExitAnswered = 0;
inline constexpr int kExitNoAnswer = 1;
inline constexpr int kExitUsage = 2;

// One datagram from the reply port; prints "reply: N bytes received" for the count and
// "receipt: TEXT" for the receipt. Answered when either came.
int SendOverUdp(const SendOptions& options, const std::string& name, const std::string& text, std::ostream& out,
                std::ostream& err);

// One connection; prints the count the receiver answers before it closes.
int SendOverTcp(const SendOptions& options, const std::string& name, const std::string& text, std::ostream& out,
                std::ostream& err);

}  // namespace tavik::send
