#pragma once
// The session handler of Messenger message blocks. A caller sends either one block with the
// whole message (0xD0, or 0xD1 to everyone, which is not answered) or a start block (0xD5,
// answered with the group id), text blocks (0xD7) and an end block (0xD6), each answered.
// Blocks above kMaximumBlockSize, below kMinimumBlockSize, without the protocol bytes or with
// a command outside these end the session; blocks that lack their items, and text blocks of
// another group, are passed over unanswered. The handler hangs up, and only then delivers a
// message that was completed: a single block, or a multi-block message whose end block was
// answered. At most kMaximumTextBytes - 1 bytes of text are gathered.

#include <cstddef>

#include "core/netbios/messenger_delivery.h"
#include "core/netbios/smb_session.h"

namespace tavik::netbios {

inline constexpr std::size_t kMaximumTextBytes = 65535;

// Serves session until it ends; true when a message was completed (and so handed to
// DeliverMessage, whose filters may still refuse it).
bool HandleMessageSession(SmbSession& session, const MessengerDelivery& delivery);

}  // namespace tavik::netbios
