#include "core/netbios/socket_session_stream.h"

#include "core/net/stoppable_wait.h"

namespace tavik::netbios {

SocketSessionStream::SocketSessionStream(net::Socket& socket, std::chrono::milliseconds sendTimeout,
                                         const net::ListenerState* stopState,
                                         std::chrono::milliseconds stopCheckInterval)
    : socket_(socket), stopState_(stopState), stopCheckInterval_(stopCheckInterval) {
    socket_.SetSendTimeout(sendTimeout);
}

bool SocketSessionStream::ReceiveExactly(char* buffer, std::size_t count, Clock::time_point deadline) {
    std::size_t received = 0;
    while (received < count) {
        if (net::WaitReadableUntil(socket_, deadline, stopState_, stopCheckInterval_) != net::WaitStatus::Ready) {
            return false;
        }
        const net::IoResult result = socket_.Receive(buffer + received, count - received);
        if (result.status == net::IoStatus::TimedOut) continue;
        if (result.status != net::IoStatus::Ok || result.count == 0) return false;
        received += result.count;
    }
    return true;
}

bool SocketSessionStream::Send(std::string_view bytes) { return socket_.Send(bytes).status == net::IoStatus::Ok; }

}  // namespace tavik::netbios
