#pragma once
// Text framing of a message received over TCP:
//   [anything] "/$0" text "/$1" name "/$2" [...] "/$3" flag [...] "/$4" [...] "/$5" reply "/$6" [...] end
// where end is "/$7" or "/$4\n". The data is text and ends at its first NUL.

#include <optional>
#include <string_view>

#include "core/net/message_fields.h"

namespace tavik::net {

inline constexpr std::string_view kTcpEndMark = "/$7";
inline constexpr std::string_view kTcpEndMarkLine = "/$4\n";

// True when the gathered data ends with one of the two end marks.
bool EndsWithTcpEndMark(std::string_view data);

// The fields of a message, or nothing when "/$0", "/$1", "/$2" or the end mark is missing.
// The text runs to the last "/$1", so it may hold "/$1" itself. A later marker that is
// missing leaves its field and the ones after it empty.
std::optional<MessageFields> ParseTcpFraming(std::string_view data);

}  // namespace tavik::net
