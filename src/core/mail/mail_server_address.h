#pragma once
// The incoming-mail server setting: a host name or dotted address, optionally ":" and a port.

#include <cstdint>
#include <string>
#include <string_view>

namespace tavik::mailbox {

inline constexpr std::uint16_t kPop3Port = 110;
inline constexpr std::uint16_t kImap4Port = 143;

struct MailServerAddress {
    std::string host;
    std::uint16_t port = 0;
};

// The host is the text before the first ":"; the port is the number that begins right after it.
// No ":", or a port outside 1 to 65535 (a word reads as 0), gives defaultPort.
MailServerAddress SplitMailServer(std::string_view setting, std::uint16_t defaultPort);

}  // namespace tavik::mailbox
