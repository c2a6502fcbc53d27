#include "core/net/served_socket.h"

namespace tavik::net {

WaitStatus ServedSocket::WaitReadable(std::chrono::milliseconds timeout) {
    std::lock_guard lock(mutex_);
    return socket_.WaitReadable(timeout);
}

IoResult ServedSocket::ReceiveFrom(char* buffer, std::size_t capacity, Endpoint& from) {
    std::lock_guard lock(mutex_);
    return socket_.ReceiveFrom(buffer, capacity, from);
}

IoResult ServedSocket::SendTo(std::string_view bytes, const Endpoint& to) {
    std::lock_guard lock(mutex_);
    return socket_.SendTo(bytes, to);
}

Socket ServedSocket::Accept(Endpoint& peer, IoStatus& status) {
    std::lock_guard lock(mutex_);
    return socket_.Accept(peer, status);
}

bool ServedSocket::Close(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_, std::defer_lock);
    if (limit == std::chrono::milliseconds::max()) {
        lock.lock();
    } else if (!lock.try_lock_for(limit)) {
        return false;
    }
    socket_.Close();
    return true;
}

}  // namespace tavik::net
