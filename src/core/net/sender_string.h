#pragma once
// The reply port a sender names in field 5, and the sender text the user sees.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/net/transport.h"

namespace tavik::net {

// The decimal port after the first ":" of field 5 (anything after the digits is ignored).
// Without a ":" or digits, or outside 1..65535, the receiver's own port of the transport.
std::uint32_t ReplyPort(std::string_view replyAddress, std::uint32_t ownPort);

// "name/address" on TCP, "name/address:u" on UDP, with the port before the "u" when the
// sender replies elsewhere than the own port. An empty name drops the "/".
std::string SenderString(std::string_view name, std::string_view peerAddress, std::uint32_t replyPort,
                         std::uint32_t ownPort, Transport transport);

}  // namespace tavik::net
