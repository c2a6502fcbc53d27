#pragma once
// Byte framing of a datagram received over UDP: each field is introduced by NUL "#" digit
// and runs to the NUL of the next marker:
//   [type word] NUL"#0" text NUL"#1" name NUL"#2" ... NUL"#3" flag ... NUL"#4" ... NUL"#5" reply NUL"#6" ...

#include <optional>
#include <string_view>

#include "core/net/message_fields.h"

namespace tavik::net {

// The fields of a datagram, or nothing unless all of NUL"#0" to NUL"#6" occur in order.
// NUL"#0" to NUL"#5" count only where a byte follows them; NUL"#6" may end the datagram.
// Only the given bytes are read.
std::optional<MessageFields> ParseUdpFraming(std::string_view datagram);

}  // namespace tavik::net
