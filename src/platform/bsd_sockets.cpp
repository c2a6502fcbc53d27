// BSD sockets behind the core's socket layer (every platform but Windows).
#ifndef _WIN32

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "core/net/address_text.h"
#include "core/net/socket_layer.h"

namespace tavik::net {

namespace {

int Fd(std::uintptr_t handle) { return static_cast<int>(handle); }

IoStatus StatusOfError(int error) {
    switch (error) {
    case EBADF:
    case ENOTSOCK:
    case EINVAL:  // accept on a socket that was shut down
        return IoStatus::Closed;
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case ETIMEDOUT:
    case EINTR:  // a signal, not a close: the caller simply tries again
        return IoStatus::TimedOut;
    default: return IoStatus::Failed;
    }
}

sockaddr_in ToSockaddr(const Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(endpoint.address);
    address.sin_port = htons(endpoint.port);
    return address;
}

Endpoint FromSockaddr(const sockaddr_in& address) {
    return Endpoint{ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

int ClampMilliseconds(std::chrono::milliseconds timeout) {
    if (timeout.count() < 0) return 0;
    if (timeout.count() > INT_MAX) return INT_MAX;
    return static_cast<int>(timeout.count());
}

// poll() for a connection under way, in slices when a stop flag is to be watched; 0 when the
// time ran out or the stop came first.
int WaitConnected(pollfd& entry, std::chrono::milliseconds timeout, const std::atomic<bool>* stop) {
    if (stop == nullptr) return ::poll(&entry, 1, ClampMilliseconds(timeout));
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!stop->load()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return 0;
        int ready = ::poll(&entry, 1, ClampMilliseconds(std::min(left, kConnectStopCheck)));
        if (ready != 0) return ready;
    }
    return 0;
}

timeval ToTimeval(std::chrono::milliseconds timeout) {
    timeval value{};
    value.tv_sec = static_cast<time_t>(timeout.count() / 1000);
    value.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
    return value;
}

std::uintptr_t OpenHandle(int type) {
    int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    return fd < 0 ? ~std::uintptr_t{0} : static_cast<std::uintptr_t>(fd);
}

}  // namespace

SocketLibrary::SocketLibrary() : ready_(true) {}
SocketLibrary::~SocketLibrary() = default;

Socket Socket::OpenUdp() { return Socket(OpenHandle(SOCK_DGRAM)); }

Socket Socket::OpenTcp() {
    Socket socket(OpenHandle(SOCK_STREAM));
    if (socket.IsOpen()) {
        // Without it a restarted listener could not bind while its old connections linger.
        int on = 1;
        ::setsockopt(Fd(socket.handle_), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    return socket;
}

void Socket::Close() {
    if (handle_ == kNoHandle) return;
    ::close(Fd(handle_));
    handle_ = kNoHandle;
}

bool Socket::Bind(std::uint32_t address, std::uint16_t port) {
    if (!IsOpen()) return false;
    sockaddr_in local = ToSockaddr(Endpoint{address, port});
    return ::bind(Fd(handle_), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

std::optional<Endpoint> Socket::LocalEndpoint() const {
    if (!IsOpen()) return std::nullopt;
    sockaddr_in local{};
    socklen_t size = sizeof local;
    if (::getsockname(Fd(handle_), reinterpret_cast<sockaddr*>(&local), &size) != 0) return std::nullopt;
    return FromSockaddr(local);
}

bool Socket::EnableBroadcast() {
    int on = 1;
    return IsOpen() && ::setsockopt(Fd(handle_), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
}

bool Socket::SetReceiveBuffer(std::size_t bytes) {
    int size = bytes > INT_MAX ? INT_MAX : static_cast<int>(bytes);
    return IsOpen() && ::setsockopt(Fd(handle_), SOL_SOCKET, SO_RCVBUF, &size, sizeof size) == 0;
}

bool Socket::SetSendTimeout(std::chrono::milliseconds timeout) {
    timeval limit = ToTimeval(timeout);
    return IsOpen() && ::setsockopt(Fd(handle_), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) == 0;
}

bool Socket::SetTimeouts(std::chrono::milliseconds timeout) {
    if (!IsOpen()) return false;
    timeval limit = ToTimeval(timeout);
    return ::setsockopt(Fd(handle_), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) == 0 &&
           ::setsockopt(Fd(handle_), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) == 0;
}

bool Socket::Listen(int backlog) { return IsOpen() && ::listen(Fd(handle_), backlog) == 0; }

Socket Socket::Accept(Endpoint& peer, IoStatus& status) {
    if (!IsOpen()) {
        status = IoStatus::Closed;
        return Socket();
    }
    sockaddr_in remote{};
    socklen_t size = sizeof remote;
    int fd = ::accept4(Fd(handle_), reinterpret_cast<sockaddr*>(&remote), &size, SOCK_CLOEXEC);
    if (fd < 0) {
        status = StatusOfError(errno);
        return Socket();
    }
    peer = FromSockaddr(remote);
    status = IoStatus::Ok;
    return Socket(static_cast<std::uintptr_t>(fd));
}

IoStatus Socket::Connect(const Endpoint& to, std::chrono::milliseconds timeout, const std::atomic<bool>* stop) {
    if (!IsOpen()) return IoStatus::Closed;
    int fd = Fd(handle_);
    int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return IoStatus::Failed;
    sockaddr_in remote = ToSockaddr(to);
    IoStatus status = IoStatus::Ok;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
        if (errno != EINPROGRESS) {
            status = StatusOfError(errno);
        } else {
            pollfd entry{fd, POLLOUT, 0};
            int ready = WaitConnected(entry, timeout, stop);
            if (ready == 0) {
                status = stop != nullptr && stop->load() ? IoStatus::Closed : IoStatus::TimedOut;
            } else if (ready < 0) {
                status = StatusOfError(errno);
            } else {
                int error = 0;
                socklen_t size = sizeof error;
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
                status = error == 0 ? IoStatus::Ok : StatusOfError(error);
            }
        }
    }
    ::fcntl(fd, F_SETFL, flags);
    return status;
}

WaitStatus Socket::WaitReadable(std::chrono::milliseconds timeout) const {
    if (!IsOpen()) return WaitStatus::Failed;
    pollfd entry{Fd(handle_), POLLIN, 0};
    int ready = ::poll(&entry, 1, ClampMilliseconds(timeout));
    if (ready < 0) return errno == EINTR ? WaitStatus::TimedOut : WaitStatus::Failed;
    if (ready == 0) return WaitStatus::TimedOut;
    if (entry.revents & POLLNVAL) return WaitStatus::Failed;
    return WaitStatus::Ready;
}

IoResult Socket::Receive(char* buffer, std::size_t capacity) {
    if (!IsOpen()) return {IoStatus::Closed, 0};
    ssize_t count = ::recv(Fd(handle_), buffer, capacity, 0);
    if (count < 0) return {StatusOfError(errno), 0};
    return {IoStatus::Ok, static_cast<std::size_t>(count)};
}

IoResult Socket::ReceiveFrom(char* buffer, std::size_t capacity, Endpoint& from) {
    if (!IsOpen()) return {IoStatus::Closed, 0};
    sockaddr_in remote{};
    socklen_t size = sizeof remote;
    ssize_t count = ::recvfrom(Fd(handle_), buffer, capacity, 0, reinterpret_cast<sockaddr*>(&remote), &size);
    if (count < 0) return {StatusOfError(errno), 0};
    from = FromSockaddr(remote);
    return {IoStatus::Ok, static_cast<std::size_t>(count)};
}

IoResult Socket::Send(std::string_view bytes) {
    if (!IsOpen()) return {IoStatus::Closed, 0};
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        // MSG_NOSIGNAL: a peer that has gone is a failed send, not a signal that ends us.
        ssize_t count = ::send(Fd(handle_), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count < 0) {
            if (errno == EINTR) continue;
            return {StatusOfError(errno), sent};
        }
        sent += static_cast<std::size_t>(count);
    }
    return {IoStatus::Ok, sent};
}

IoResult Socket::SendTo(std::string_view bytes, const Endpoint& to) {
    if (!IsOpen()) return {IoStatus::Closed, 0};
    sockaddr_in remote = ToSockaddr(to);
    ssize_t count = ::sendto(Fd(handle_), bytes.data(), bytes.size(), MSG_NOSIGNAL,
                             reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
    if (count < 0) return {StatusOfError(errno), 0};
    return {IoStatus::Ok, static_cast<std::size_t>(count)};
}

void Socket::ShutdownSend() {
    if (IsOpen()) ::shutdown(Fd(handle_), SHUT_WR);
}

void Socket::Shutdown() {
    if (IsOpen()) ::shutdown(Fd(handle_), SHUT_RDWR);
}

}  // namespace tavik::net

#endif  // !_WIN32
