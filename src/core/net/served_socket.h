#pragma once
// The socket a listener thread serves, shared with the listener's owner: an owner that lets a
// stuck thread go (one held in its handler past the stop bound) must still give the port back,
// so that the listener can start again at once. Every call runs under a lock and the owner
// closes the socket under the same lock, so no call uses the handle after the close, nor a
// handle number that the system has since given to another socket.

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string_view>

#include "core/net/socket_layer.h"

namespace tavik::net {

class ServedSocket {
public:
    explicit ServedSocket(Socket socket) : socket_(std::move(socket)) {}
    ServedSocket(const ServedSocket&) = delete;
    ServedSocket& operator=(const ServedSocket&) = delete;

    // As on Socket; once closed they fail as on a closed socket. Each call holds the lock for as
    // long as it runs, so callers keep them short (a wait of a stop-check interval, a receive of
    // what is waiting).
    WaitStatus WaitReadable(std::chrono::milliseconds timeout);
    IoResult ReceiveFrom(char* buffer, std::size_t capacity, Endpoint& from);
    IoResult SendTo(std::string_view bytes, const Endpoint& to);
    Socket Accept(Endpoint& peer, IoStatus& status);

    // By the serving thread, or by the owner letting the thread go: the socket is closed as soon
    // as no call is under way. False when a call still ran after limit; the serving thread then
    // closes it when it gets there.
    bool Close(std::chrono::milliseconds limit = std::chrono::milliseconds::max());

private:
    std::timed_mutex mutex_;
    Socket socket_;
};

}  // namespace tavik::net
