#pragma once
// Judging POP3 reply lines.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavik::mailbox {

// Accepted when the line begins with "+OK", byte for byte; anything after it does not matter.
bool IsPop3Accepted(std::string_view line);

// The count of a STAT answer: the number that begins after its first blank; nothing when the
// server refused STAT (an "-ERR" is a failure, not an empty maildrop) or the answer has no blank.
std::optional<std::int32_t> Pop3StatCount(std::string_view line);

}  // namespace tavik::mailbox
