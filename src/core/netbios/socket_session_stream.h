#pragma once
// A session stream over a TCP connection. Under a connection watch (a listener's sessions) its
// receives simply block and the watch ends them, at their deadline or when the listener stops;
// a deadline holds only while a receive or send is under way. Otherwise (a sender's) each
// receive first waits for bytes until its deadline.

#include <chrono>
#include <string>

#include "core/net/connection_watch.h"
#include "core/net/socket_layer.h"
#include "core/netbios/session_stream.h"

namespace tavik::netbios {

class SocketSessionStream final : public SessionStream {
public:
    // A sender's stream: each receive waits for bytes until its deadline.
    SocketSessionStream(net::Socket& socket, std::chrono::milliseconds sendTimeout);
    // watch: where each receive and send sets its deadline; the watch shuts the connection down
    // past it.
    SocketSessionStream(net::Socket& socket, std::chrono::milliseconds sendTimeout, net::ConnectionWatch::Entry& watch);

    bool ReceiveExactly(char* buffer, std::size_t count, Clock::time_point deadline) override;
    bool Send(std::string_view bytes) override;
    void Close() override;

private:
    bool ReceiveUntil(char* buffer, std::size_t count, Clock::time_point deadline);

    net::Socket& socket_;
    net::ConnectionWatch::Entry* watch_ = nullptr;
    std::chrono::milliseconds sendTimeout_{0};  // with a watch: how long a send may stall
    // Bytes received beyond what was asked for: a session message's header and body come in one
    // piece, and one wait and one receive for both halve the socket calls of every block.
    std::string received_;
};

}  // namespace tavik::netbios
