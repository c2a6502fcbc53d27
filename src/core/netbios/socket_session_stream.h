#pragma once
// A session stream over a TCP connection. Under a connection watch its receives simply block
// and the watch ends them (at their deadline, or when the listener stops); otherwise its waits
// look at a listener's stop flag, so a session ends promptly when its listener stops.

#include <chrono>
#include <string>

#include "core/net/connection_watch.h"
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
    // watch: where each receive and send sets its deadline; the watch shuts the connection down
    // past it.
    SocketSessionStream(net::Socket& socket, std::chrono::milliseconds sendTimeout, net::ConnectionWatch::Entry& watch);

    bool ReceiveExactly(char* buffer, std::size_t count, Clock::time_point deadline) override;
    bool Send(std::string_view bytes) override;
    void Close() override;

private:
    net::Socket& socket_;
    const net::ListenerState* stopState_;
    std::chrono::milliseconds stopCheckInterval_;
    net::ConnectionWatch::Entry* watch_ = nullptr;
    std::chrono::milliseconds sendTimeout_{0};  // with a watch: how long a send may stall
    // Bytes received beyond what was asked for: a session message's header and body come in one
    // piece, and one wait and one receive for both halve the socket calls of every block.
    std::string received_;
};

}  // namespace tavik::netbios
