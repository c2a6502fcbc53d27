#pragma once
// A mail dialogue's TCP connection. Every wait ends at its step's deadline, and Interrupt, from
// any other thread, ends the connection so that the owner's waits and sends give up at once.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "core/mail/mail_channel.h"
#include "core/net/socket_layer.h"

namespace tavik::mailbox {

class SocketChannel final : public MailChannel {
public:
    // connectLimit bounds the connection attempt, and any single blocking call as a last resort.
    explicit SocketChannel(std::chrono::milliseconds connectLimit) : connectLimit_(connectLimit) {}
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;

    // Makes the socket with its time-outs; false when the system gives none.
    bool Open();
    // From localAddress when that is not any.
    bool Connect(const net::Endpoint& to, std::uint32_t localAddress);
    bool Send(std::string_view bytes, MailDeadline deadline) override;
    bool Receive(std::string& appendTo, MailDeadline deadline) override;
    void Close();

    // Any thread, any time, also before Open.
    void Interrupt();

private:
    const std::chrono::milliseconds connectLimit_;
    std::atomic<bool> interrupted_{false};
    std::mutex socketMutex_;  // the owner's Open and Close against Interrupt's shutdown
    net::Socket socket_;
};

}  // namespace tavik::mailbox
