// Winsock behind the core's socket layer (Windows builds).
#ifdef _WIN32

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>

#include "core/net/address_text.h"
#include "core/net/socket_layer.h"

namespace tavik::net {

namespace {

SOCKET Handle(std::uintptr_t handle) { return static_cast<SOCKET>(handle); }

IoStatus StatusOfError(int error) {
    switch (error) {
    case WSAEINTR:     // a blocking call cancelled by closesocket
    case WSAENOTSOCK:  // the socket is gone
        return IoStatus::Closed;
    case WSAEWOULDBLOCK:
    case WSAETIMEDOUT: return IoStatus::TimedOut;
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

timeval ToTimeval(std::chrono::milliseconds timeout) {
    long long ms = timeout.count() < 0 ? 0 : timeout.count();
    if (ms > static_cast<long long>(INT_MAX)) ms = INT_MAX;
    timeval value{};
    value.tv_sec = static_cast<long>(ms / 1000);
    value.tv_usec = static_cast<long>((ms % 1000) * 1000);
    return value;
}

int ClampLength(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

// select() for a connection under way: 1 connected, -1 failed, 0 when the time ran out or the
// stop came first. With a stop flag it waits in slices so the flag is seen.
int WaitConnected(SOCKET handle, std::chrono::milliseconds timeout, const std::atomic<bool>* stop) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (stop == nullptr || !stop->load()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return 0;
        fd_set writable;
        fd_set failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(handle, &writable);
        FD_SET(handle, &failed);
        timeval limit = ToTimeval(stop == nullptr ? left : std::min(left, kConnectStopCheck));
        int ready = ::select(0, nullptr, &writable, &failed, &limit);
        if (ready < 0 || FD_ISSET(handle, &failed)) return -1;
        if (ready > 0) return 1;
    }
    return 0;
}

}  // namespace

SocketLibrary::SocketLibrary() {
    WSADATA data;
    ready_ = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

SocketLibrary::~SocketLibrary() {
    if (ready_) ::WSACleanup();
}

Socket Socket::OpenUdp() {
    SOCKET handle = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    return Socket(handle == INVALID_SOCKET ? kNoHandle : static_cast<std::uintptr_t>(handle));
}

Socket Socket::OpenTcp() {
    // Windows lets a listener re-bind while old connections linger; no address sharing needed.
    SOCKET handle = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    return Socket(handle == INVALID_SOCKET ? kNoHandle : static_cast<std::uintptr_t>(handle));
}

void Socket::Close() {
    if (handle_ == kNoHandle) return;
    ::closesocket(Handle(handle_));
    handle_ = kNoHandle;
}

bool Socket::Bind(std::uint32_t address, std::uint16_t port) {
    if (!IsOpen()) return false;
    sockaddr_in local = ToSockaddr(Endpoint{address, port});
    return ::bind(Handle(handle_), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

std::optional<Endpoint> Socket::LocalEndpoint() const {
    if (!IsOpen()) return std::nullopt;
    sockaddr_in local{};
    int size = sizeof local;
    if (::getsockname(Handle(handle_), reinterpret_cast<sockaddr*>(&local), &size) != 0) return std::nullopt;
    return FromSockaddr(local);
}

bool Socket::EnableBroadcast() {
    BOOL on = TRUE;
    return IsOpen() &&
           ::setsockopt(Handle(handle_), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) == 0;
}

bool Socket::SetReceiveBuffer(std::size_t bytes) {
    int size = ClampLength(bytes);
    return IsOpen() &&
           ::setsockopt(Handle(handle_), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size) == 0;
}

bool Socket::SetSendTimeout(std::chrono::milliseconds timeout) {
    DWORD limit = timeout.count() <= 0 ? 0 : static_cast<DWORD>(std::min<long long>(timeout.count(), INT_MAX));
    return IsOpen() && ::setsockopt(Handle(handle_), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit),
                                    sizeof limit) == 0;
}

bool Socket::SetTimeouts(std::chrono::milliseconds timeout) {
    if (!IsOpen()) return false;
    DWORD limit = static_cast<DWORD>(std::clamp<long long>(timeout.count(), 1, INT_MAX));
    const char* value = reinterpret_cast<const char*>(&limit);
    return ::setsockopt(Handle(handle_), SOL_SOCKET, SO_RCVTIMEO, value, sizeof limit) == 0 &&
           ::setsockopt(Handle(handle_), SOL_SOCKET, SO_SNDTIMEO, value, sizeof limit) == 0;
}

bool Socket::Listen(int backlog) { return IsOpen() && ::listen(Handle(handle_), backlog) == 0; }

Socket Socket::Accept(Endpoint& peer, IoStatus& status) {
    if (!IsOpen()) {
        status = IoStatus::Closed;
        return Socket();
    }
    sockaddr_in remote{};
    int size = sizeof remote;
    SOCKET handle = ::accept(Handle(handle_), reinterpret_cast<sockaddr*>(&remote), &size);
    if (handle == INVALID_SOCKET) {
        status = StatusOfError(::WSAGetLastError());
        return Socket();
    }
    peer = FromSockaddr(remote);
    status = IoStatus::Ok;
    return Socket(static_cast<std::uintptr_t>(handle));
}

IoStatus Socket::Connect(const Endpoint& to, std::chrono::milliseconds timeout, const std::atomic<bool>* stop) {
    if (!IsOpen()) return IoStatus::Closed;
    SOCKET handle = Handle(handle_);
    u_long nonBlocking = 1;
    if (::ioctlsocket(handle, FIONBIO, &nonBlocking) != 0) return IoStatus::Failed;
    sockaddr_in remote = ToSockaddr(to);
    IoStatus status = IoStatus::Ok;
    if (::connect(handle, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
        int error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK) {
            status = StatusOfError(error);
        } else {
            int ready = WaitConnected(handle, timeout, stop);
            if (ready == 0) {
                status = stop != nullptr && stop->load() ? IoStatus::Closed : IoStatus::TimedOut;
            } else if (ready < 0) {
                status = IoStatus::Failed;
            }
        }
    }
    u_long blocking = 0;
    ::ioctlsocket(handle, FIONBIO, &blocking);
    return status;
}

WaitStatus Socket::WaitReadable(std::chrono::milliseconds timeout) const {
    if (!IsOpen()) return WaitStatus::Failed;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(Handle(handle_), &readable);
    timeval limit = ToTimeval(timeout);
    int ready = ::select(0, &readable, nullptr, nullptr, &limit);
    if (ready < 0) return WaitStatus::Failed;
    return ready == 0 ? WaitStatus::TimedOut : WaitStatus::Ready;
}

IoResult Socket::Receive(char* buffer, std::size_t capacity) {
    if (!IsOpen()) return {IoStatus::Closed, 0};
    int count = ::recv(Handle(handle_), buffer, ClampLength(capacity), 0);
    if (count == SOCKET_ERROR) return {StatusOfError(::WSAGetLastError()), 0};
    return {IoStatus::Ok, static_cast<std::size_t>(count)};
}

IoResult Socket::ReceiveFrom(char* buffer, std::size_t capacity, Endpoint& from) {
    if (!IsOpen()) return {IoStatus::Closed, 0};
    sockaddr_in remote{};
    int size = sizeof remote;
    int count =
        ::recvfrom(Handle(handle_), buffer, ClampLength(capacity), 0, reinterpret_cast<sockaddr*>(&remote), &size);
    if (count == SOCKET_ERROR) return {StatusOfError(::WSAGetLastError()), 0};
    from = FromSockaddr(remote);
    return {IoStatus::Ok, static_cast<std::size_t>(count)};
}

IoResult Socket::Send(std::string_view bytes) {
    if (!IsOpen()) return {IoStatus::Closed, 0};
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        int count = ::send(Handle(handle_), bytes.data() + sent, ClampLength(bytes.size() - sent), 0);
        if (count == SOCKET_ERROR) return {StatusOfError(::WSAGetLastError()), sent};
        sent += static_cast<std::size_t>(count);
    }
    return {IoStatus::Ok, sent};
}

IoResult Socket::SendTo(std::string_view bytes, const Endpoint& to) {
    if (!IsOpen()) return {IoStatus::Closed, 0};
    sockaddr_in remote = ToSockaddr(to);
    int count = ::sendto(Handle(handle_), bytes.data(), ClampLength(bytes.size()), 0,
                         reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
    if (count == SOCKET_ERROR) return {StatusOfError(::WSAGetLastError()), 0};
    return {IoStatus::Ok, static_cast<std::size_t>(count)};
}

void Socket::ShutdownSend() {
    if (IsOpen()) ::shutdown(Handle(handle_), SD_SEND);
}

void Socket::Shutdown() {
    if (IsOpen()) ::shutdown(Handle(handle_), SD_BOTH);
}

}  // namespace tavik::net

#endif  // _WIN32
