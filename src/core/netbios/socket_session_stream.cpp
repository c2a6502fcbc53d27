#include "core/netbios/socket_session_stream.h"

#include <algorithm>

#include "core/net/stoppable_wait.h"

namespace tavik::netbios {
namespace {

// Larger than any block a session takes, with its header.
constexpr std::size_t kReceivePiece = 4096;
// A sender's waits have no listener to stop them: one slice may run to the deadline.
constexpr std::chrono::milliseconds kNoStopToCheck = std::chrono::hours(1);
// Between receives and sends (while the session waits for its message to be stored, say) the
// watch hangs up nothing; only a stop ends the connection then.
constexpr SessionStream::Clock::time_point kNoDeadline = SessionStream::Clock::time_point::max();

}  // namespace

SocketSessionStream::SocketSessionStream(net::Socket& socket, std::chrono::milliseconds sendTimeout)
    : socket_(socket) {
    socket_.SetSendTimeout(sendTimeout);
}

SocketSessionStream::SocketSessionStream(net::Socket& socket, std::chrono::milliseconds sendTimeout,
                                         net::ConnectionWatch::Entry& watch)
    : socket_(socket), watch_(&watch), sendTimeout_(sendTimeout) {
    // No socket option for the send time (a wineserver round trip or two each connection): the
    // watch ends a send that stalls, as it ends a receive.
}

bool SocketSessionStream::ReceiveExactly(char* buffer, std::size_t count, Clock::time_point deadline) {
    if (watch_ != nullptr) watch_->SetDeadline(deadline);
    const bool received = ReceiveUntil(buffer, count, deadline);
    if (watch_ != nullptr) watch_->SetDeadline(kNoDeadline);
    return received;
}

bool SocketSessionStream::ReceiveUntil(char* buffer, std::size_t count, Clock::time_point deadline) {
    while (received_.size() < count) {
        if (watch_ != nullptr) {
            if (Clock::now() >= deadline) return false;
        } else if (net::WaitReadableUntil(socket_, deadline, nullptr, kNoStopToCheck) != net::WaitStatus::Ready) {
            return false;
        }
        char piece[kReceivePiece];
        const net::IoResult result = socket_.Receive(piece, sizeof piece);
        if (result.status == net::IoStatus::TimedOut) continue;
        if (result.status != net::IoStatus::Ok || result.count == 0) return false;
        received_.append(piece, result.count);
    }
    std::copy_n(received_.data(), count, buffer);
    received_.erase(0, count);
    return true;
}

void SocketSessionStream::Close() {
    if (watch_ != nullptr) {
        watch_->CloseConnection();
    } else {
        socket_.Close();
    }
}

bool SocketSessionStream::Send(std::string_view bytes) {
    if (watch_ != nullptr) watch_->SetDeadline(Clock::now() + sendTimeout_);
    const bool sent = socket_.Send(bytes).status == net::IoStatus::Ok;
    if (watch_ != nullptr) watch_->SetDeadline(kNoDeadline);
    return sent;
}

}  // namespace tavik::netbios
