#pragma once
// Plain POSIX sockets on 127.0.0.1 that play the other end in listener tests, so the
// listeners are checked against real sockets and not against their own layer.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/net/listener_config.h"

namespace tavik::net::testing {

// A socket descriptor closed on scope exit.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

inline sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

inline std::uint16_t PortOf(int fd) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

// A UDP socket on 127.0.0.1 with a port of its own.
inline Fd UdpPeer() {
    Fd fd(::socket(AF_INET, SOCK_DGRAM, 0));
    sockaddr_in local = Loopback(0);
    ::bind(fd.get(), reinterpret_cast<sockaddr*>(&local), sizeof local);
    return fd;
}

inline bool SendDatagram(int fd, std::uint16_t port, const std::string& bytes) {
    sockaddr_in to = Loopback(port);
    return ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) ==
           static_cast<ssize_t>(bytes.size());
}

inline bool Readable(int fd, std::chrono::milliseconds limit) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(limit.count())) > 0;
}

inline std::optional<std::string> ReceiveDatagram(int fd, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    if (!Readable(fd, limit)) return std::nullopt;
    std::vector<char> buffer(70000);
    ssize_t count = ::recv(fd, buffer.data(), buffer.size(), 0);
    if (count < 0) return std::nullopt;
    return std::string(buffer.data(), static_cast<std::size_t>(count));
}

inline Fd TcpConnect(std::uint16_t port) {
    Fd fd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in to = Loopback(port);
    if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) return Fd();
    return fd;
}

// A connection to 127.0.0.1 from another loopback address, as from another host.
inline Fd TcpConnectFrom(const char* localAddress, std::uint16_t port) {
    Fd fd(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (::inet_pton(AF_INET, localAddress, &local.sin_addr) != 1 ||
        ::bind(fd.get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        return Fd();
    }
    sockaddr_in to = Loopback(port);
    if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) return Fd();
    return fd;
}

inline bool SendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t count = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) return false;
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

struct StreamEnd {
    std::string data;
    bool closed = false;  // the other side closed (orderly or by reset)
    bool reset = false;   // it closed by reset
};

// What has arrived once something arrives, or nothing when limit passes first.
inline std::string ReadSome(int fd, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    char buffer[4096];
    if (!Readable(fd, limit)) return std::string();
    ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
    return count > 0 ? std::string(buffer, static_cast<std::size_t>(count)) : std::string();
}

// Reads until the other side closes or limit passes.
inline StreamEnd ReadUntilClosed(int fd, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    StreamEnd end;
    auto deadline = std::chrono::steady_clock::now() + limit;
    char buffer[4096];
    while (true) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !Readable(fd, left)) return end;
        ssize_t count = ::recv(fd, buffer, sizeof buffer, 0);
        if (count <= 0) {
            end.closed = true;
            end.reset = count < 0;
            return end;
        }
        end.data.append(buffer, static_cast<std::size_t>(count));
    }
}

// What a listener handed on, copied while the call ran.
struct Received {
    std::string data;
    std::size_t length = 0;
    bool nulAfter = false;
    std::string peerAddress;
    Transport transport = Transport::Tcp;
};

class ReceivedLog {
public:
    NetworkHandler Handler() {
        return [this](const char* data, std::size_t length, const std::string& peer, Transport transport) {
            std::lock_guard lock(mutex_);
            received_.push_back({std::string(data, length), length, data[length] == '\0', peer, transport});
            changed_.notify_all();
            return Confirmation();  // taken down is as good as stored here
        };
    }
    bool WaitForCount(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return received_.size() >= count; });
    }
    std::vector<Received> All() {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Received> received_;
};

}  // namespace tavik::net::testing
