#include "core/mail/socket_channel.h"

#include <algorithm>

namespace tavik::mail {
namespace {

// A receive waits in slices this long, so an interruption is seen even where the system does
// not wake a waiting call for a connection shut down from another thread.
constexpr std::chrono::milliseconds kInterruptCheck{100};
constexpr std::size_t kReceiveChunk = 4096;

}  // namespace

bool SocketChannel::Open() {
    std::lock_guard lock(socketMutex_);
    socket_ = net::Socket::OpenTcp();
    return socket_.IsOpen() && socket_.SetTimeouts(timeout_);
}

bool SocketChannel::Connect(const net::Endpoint& to, std::uint32_t localAddress) {
    if (localAddress != net::kAnyAddress && !socket_.Bind(localAddress, 0)) return false;
    return socket_.Connect(to, timeout_, &interrupted_) == net::IoStatus::Ok && !interrupted_.load();
}

bool SocketChannel::Send(std::string_view bytes) {
    return !interrupted_.load() && socket_.Send(bytes).status == net::IoStatus::Ok;
}

bool SocketChannel::Receive(std::string& appendTo) {
    auto deadline = std::chrono::steady_clock::now() + timeout_;
    while (!interrupted_.load()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
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

}  // namespace tavik::mail
