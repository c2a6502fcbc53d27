#pragma once
// A session stream over a TCP connection. Its waits look at a listener's stop flag, so a
// session ends promptly when its listener stops.

#include <chrono>
#include <string>

#include "core/net/listener_thread.h"
#include "core/net/socket_layer.h"
#include "core/netbios/session_stream.h"

namespace tavik::netbios {

class SocketSessionStream final : public SessionStream {
public:
    // stopState: the listener whose stop ends the waits; nothing when only deadlines do.
    SocketSessionStream(net::Socket& socket, std::chrono::milliseconds sendTimeout,
                        const net::ListenerState* stopState = nullptr,
                        std::chrono::milliseconds stopCheckInterval = std::chrono::milliseconds(200));

    bool ReceiveExactly(char* buffer, std::size_t count, Clock::time_point deadline) override;
    bool Send(std::string_view bytes) override;
    void Close() override { socket_.Close(); }

private:
    net::Socket& socket_;
    const net::ListenerState* stopState_;
    std::chrono::milliseconds stopCheckInterval_;
    // Bytes received beyond what was asked for: a session message's header and body come in one
    // piece, and one wait and one receive for both halve the socket calls of every block.
    std::string received_;
};

}  // namespace tavik::netbios
