#pragma once
// IPv4 UDP and TCP sockets for the listeners and the sender. Declared here, implemented in
// src/platform over BSD sockets or Winsock, so the core stays free of system headers.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavik::net {

inline constexpr std::uint32_t kAnyAddress = 0;
inline constexpr std::uint32_t kLoopbackAddress = 0x7F000001;
// How often a connection under way looks at its stop flag.
inline constexpr std::chrono::milliseconds kConnectStopCheck{100};

struct Endpoint {
    std::uint32_t address = kAnyAddress;  // host byte order: 127.0.0.1 is 0x7F000001
    std::uint16_t port = 0;
};

// Outcome of one call, reduced to what callers act on.
enum class IoStatus {
    Ok,
    Closed,    // the socket was closed or the call interrupted: stop using it
    TimedOut,  // nothing came in time, or nothing can be done without waiting
    Failed,    // anything else (refused, reset, unreachable, ...)
};

struct IoResult {
    IoStatus status = IoStatus::Failed;
    std::size_t count = 0;  // bytes moved when Ok; 0 from Receive means the peer closed
};

enum class WaitStatus { Ready, TimedOut, Failed };

// Starts the platform's socket library for the process lifetime of the object (Winsock
// needs it; elsewhere it does nothing). The program itself starts Winsock at window set-up.
class SocketLibrary {
public:
    SocketLibrary();
    ~SocketLibrary();
    SocketLibrary(const SocketLibrary&) = delete;
    SocketLibrary& operator=(const SocketLibrary&) = delete;
    bool Ready() const { return ready_; }

private:
    bool ready_ = false;
};

// One socket, owned: closed when the object goes. Not shared between threads, but for Shutdown.
class Socket {
public:
    static Socket OpenUdp();
    static Socket OpenTcp();  // a listening TCP socket may re-bind a port with closing connections

    Socket() = default;
    Socket(Socket&& other) noexcept;
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket();

    bool IsOpen() const;
    void Close();

    bool Bind(std::uint32_t address, std::uint16_t port);  // port 0: any free port
    std::optional<Endpoint> LocalEndpoint() const;
    bool EnableBroadcast();
    // Asks for a receive buffer of bytes; true when the request was taken (the system may cap it).
    bool SetReceiveBuffer(std::size_t bytes);
    // A send that cannot go on for this long fails with TimedOut.
    bool SetSendTimeout(std::chrono::milliseconds timeout);
    bool Listen(int backlog);
    // A connection, or a closed Socket; status says why not.
    Socket Accept(Endpoint& peer, IoStatus& status);
    // With stop given, a connection still under way is given up (Closed) soon after stop turns true.
    IoStatus Connect(const Endpoint& to, std::chrono::milliseconds timeout, const std::atomic<bool>* stop = nullptr);
    // Bounds each blocking receive and send on this socket to timeout (SO_RCVTIMEO, SO_SNDTIMEO).
    bool SetTimeouts(std::chrono::milliseconds timeout);

    // Ready when a receive or accept will not block (data, a connection, or the peer's end).
    // A timeout of 0 only looks whether bytes are waiting.
    WaitStatus WaitReadable(std::chrono::milliseconds timeout) const;

    IoResult Receive(char* buffer, std::size_t capacity);
    IoResult ReceiveFrom(char* buffer, std::size_t capacity, Endpoint& from);
    IoResult Send(std::string_view bytes);  // all of them, or a failure
    IoResult SendTo(std::string_view bytes, const Endpoint& to);
    void ShutdownSend();
    // Ends the connection both ways. May be called from another thread while the owner waits in a
    // receive or send, provided the owner does not close the socket at the same time.
    void Shutdown();

private:
    explicit Socket(std::uintptr_t handle) : handle_(handle) {}
    static constexpr std::uintptr_t kNoHandle = ~std::uintptr_t{0};
    std::uintptr_t handle_ = kNoHandle;
};

// A host name or dotted address to an IPv4 address (host byte order).
std::optional<std::uint32_t> ResolveIPv4(const std::string& host);

// This machine's host name; empty when unavailable.
std::string HostName();

// The dotted form of the first IPv4 address of this host's name; empty when unresolvable.
std::string LocalAddressString();

}  // namespace tavik::net
