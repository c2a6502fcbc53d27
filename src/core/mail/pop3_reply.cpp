#include "core/mail/pop3_reply.h"

#include "core/text/leading_integer.h"

namespace tavik::mailbox {

bool IsPop3Accepted(std::string_view line) { return line.starts_with("+OK"); }

std::optional<std::int32_t> Pop3StatCount(std::string_view line) {
    std::size_t blank = line.find(' ');
    if (!IsPop3Accepted(line) || blank == std::string_view::npos) return std::nullopt;
    return ReadLeadingInteger(line.substr(blank + 1));
}

}  // namespace tavik::mailbox
