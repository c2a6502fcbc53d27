#include "core/net/address_text.h"
#include "core/net/receipt_sender.h"
#include "core/net/socket_layer.h"

namespace tavik::net {

void SocketReceiptSender::SendReceipt(std::string_view peerAddress, std::uint32_t port, std::string_view datagram) {
    std::optional<std::uint32_t> address = ParseDottedAddress(peerAddress);
    if (!address || port == 0 || port > 65535) return;
    Socket socket = Socket::OpenUdp();
    // No socket or no local port: no receipt, the message itself still goes on.
    if (!socket.IsOpen() || !socket.Bind(kAnyAddress, 0)) return;
    socket.SendTo(datagram, Endpoint{*address, static_cast<std::uint16_t>(port)});
}

}  // namespace tavik::net
