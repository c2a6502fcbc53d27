#pragma once
// What one mail check works on: its own copy of the account settings.

#include <cstdint>
#include <string>

#include "core/net/socket_layer.h"

namespace tavik::mailbox {

// Setting MailServerType: this value selects IMAP4, every other one POP3.
inline constexpr std::uint32_t kImap4ServerType = 1;

struct MailCheckRequest {
    std::string userName;
    std::string password;  // plain text, sent as it stands
    std::string server;    // IncomingMailServer: host, optionally ":" and a port
    std::uint32_t serverType = 0;
    bool playSound = false;  // PlayMailSound
    // The local address to connect from; any lets the system choose.
    std::uint32_t localAddress = net::kAnyAddress;
};

}  // namespace tavik::mailbox
