#include "core/mail/socket_channel.h"

#include <algorithm>

namespace tavik::mailbox {
namespace {

// A receive waits in slices this long, so an interruption is seen even where the system does
// not wake a waiting call for a connection shut down from another thread.
constexpr std::chrono::milliseconds kInterruptCheck{100};
constexpr std::size_t kReceiveChunk = 4096;

std::chrono::milliseconds TimeLeft(MailDeadline deadline) {
    return std::chrono::ceil<std::chrono::milliseconds>(deadline - MailClock::now());
}

}  // namespace

bool SocketChannel::Open() {
    std::lock_guard lock(socketMutex_);
    socket_ = net::Socket::OpenTcp();
    return socket_.IsOpen() && socket_.SetTimeouts(connectLimit_);
}

bool SocketChannel::Connect(const net::Endpoint& to, std::uint32_t localAddress) {
    if (localAddress != net::kAnyAddress && !socket_.Bind(localAddress, 0)) return false;
    return socket_.Connect(to, connectLimit_, &interrupted_) == net::IoStatus::Ok && !interrupted_.load();
}

bool SocketChannel::Send(std::string_view bytes, MailDeadline deadline) {
    // A send blocks only while the server takes nothing; it may wait what is left of the step.
    std::chrono::milliseconds left = TimeLeft(deadline);
    return !interrupted_.load() && left.count() > 0 && socket_.SetSendTimeout(left) &&
           socket_.Send(bytes).status == net::IoStatus::Ok;
}

bool SocketChannel::Receive(std::string& appendTo, MailDeadline deadline) {
    while (!interrupted_.load()) {
        std::chrono::milliseconds left = TimeLeft(deadline);
        if (left.count() <= 0) return false;
        net::WaitStatus wait = socket_.WaitReadable(std::min(left, kInterruptCheck));
        if (wait == net::WaitStatus::Failed) return false;
        if (wait == net::WaitStatus::TimedOut || interrupted_.load()) continue;
        char chunk[kReceiveChunk];
        net::IoResult received = socket_.Receive(chunk, sizeof chunk);
        if (received.status == net::IoStatus::TimedOut) continue;
        if (received.status != net::IoStatus::Ok || received.count == 0) return false;
        appendTo.append(chunk, received.count);
        return true;
    }
    return false;
}

void SocketChannel::Close() {
    std::lock_guard lock(socketMutex_);
    socket_.Close();
}

void SocketChannel::Interrupt() {
    interrupted_.store(true);
    std::lock_guard lock(socketMutex_);
    socket_.Shutdown();
}

}  // namespace tavik::mailbox
