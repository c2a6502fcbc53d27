#pragma once
// Sending a Messenger message over a NetBIOS session, as Windows clients do, and reporting
// the receiver's answers.

#include <ostream>
#include <string>

#include "send/send_options.h"

namespace tavik::send {

// Most text bytes in one text block.
inline constexpr std::size_t kMessengerTextBlockBytes = 127;

// Calls options.to at the destination with a session request, then sends a start block, text
// blocks and an end block (or one single block), each after the previous one was answered.
// Prints one line for the session and one for each block; answered when all of them were.
int SendOverMessenger(const SendOptions& options, const std::string& sender, const std::string& text, std::ostream& out,
                      std::ostream& err);

}  // namespace tavik::send
