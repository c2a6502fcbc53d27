#include "core/net/sender_string.h"

namespace tavik::net {

std::uint32_t ReplyPort(std::string_view replyAddress, std::uint32_t ownPort) {
    std::size_t colon = replyAddress.find(':');
    if (colon == std::string_view::npos) return ownPort;
    std::uint32_t port = 0;
    for (std::size_t i = colon + 1; i < replyAddress.size(); ++i) {
        char c = replyAddress[i];
        if (c < '0' || c > '9') break;
        port = port * 10 + static_cast<std::uint32_t>(c - '0');
        if (port > 65535) return ownPort;  // also keeps the sum from overflowing
    }
    return port == 0 ? ownPort : port;
}

std::string SenderString(std::string_view name, std::string_view peerAddress, std::uint32_t replyPort,
                         std::uint32_t ownPort, Transport transport) {
    std::string sender;
    if (!name.empty()) {
        sender.append(name);
        sender.push_back('/');
    }
    sender.append(peerAddress);
    bool ownReplyPort = replyPort == ownPort;
    if (!ownReplyPort) {
        sender.push_back(':');
        sender += std::to_string(replyPort);
    } else if (transport == Transport::Udp) {
        sender.push_back(':');
    }
    if (transport == Transport::Udp) sender.push_back('u');
    return sender;
}

}  // namespace tavik::net
