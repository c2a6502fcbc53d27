#pragma once
// The session handler of Messenger message blocks. A caller sends either one block with the
// whole message (0xD0, or 0xD1 to everyone, which is not answered) or a start block (0xD5,
// answered with the group id), text blocks (0xD7) and an end block (0xD6), each answered.
// Blocks above kMaximumBlockSize, below kMinimumBlockSize, without the protocol bytes or with
// a command outside these end the session; blocks that lack their items, and text blocks of
// another group, are passed over unanswered. A message that was completed (a single block, or
// a multi-block message with its end block) is delivered first; the last block is answered
// only once the message is stored (at once when the sender lists refuse it), then the handler
// hangs up. A message lost before it was stored, or a stop while it is being stored, is hung
// up unanswered. At most kMaximumTextBytes - 1 bytes of text are gathered.

#include <cstddef>

#include "core/netbios/messenger_delivery.h"
#include "core/netbios/smb_session.h"

namespace tavik::netbios {

inline constexpr std::size_t kMaximumTextBytes = 65535;

// Serves session until it ends; true when a message was completed (and so handed to
// DeliverMessage, whose filters may still refuse it). Waits for the message to be stored until
// the session's StopRequested.
bool HandleMessageSession(SmbSession& session, const MessengerDelivery& delivery);

}  // namespace tavik::netbios
