#pragma once
// Where delivery receipts go out. The program sends a datagram; tests collect.

#include <cstdint>
#include <string_view>

namespace tavik::net {

class ReceiptSender {
public:
    virtual ~ReceiptSender() = default;
    // Sends one datagram to peerAddress (dotted text) at port. Failures are silent.
    virtual void SendReceipt(std::string_view peerAddress, std::uint32_t port, std::string_view datagram) = 0;
};

// Sends each receipt from a fresh UDP socket bound to any local port, then closes it.
class SocketReceiptSender final : public ReceiptSender {
public:
    void SendReceipt(std::string_view peerAddress, std::uint32_t port, std::string_view datagram) override;
};

}  // namespace tavik::net
