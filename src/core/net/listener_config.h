#pragma once
// What a UDP or TCP listener is started with.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/net/transport.h"

namespace tavik::net {

// Gets each received message: the bytes with a NUL after them, their count, the sender's
// address as dotted text and the transport. Runs on the listener thread.
using NetworkHandler = std::function<void(const char* data, std::size_t length,
                                          const std::string& peerAddress, Transport transport)>;

// Largest message a listener takes; above it UDP drops the datagram and TCP stops reading.
inline constexpr std::size_t kMaxMessageBytes = 65279;
// Most bytes one receive call asks for.
inline constexpr std::size_t kReceiveChunkBytes = 65534;

struct ListenerConfig {
    std::uint16_t port = 7777;  // 0: any free port
    NetworkHandler handler;
    // The port could not be bound (in use, no permission); the listener then ends.
    std::function<void(std::uint16_t port)> onBindFailure;
    // The last thing the listener thread does.
    std::function<void()> onFinished;
    // How long a TCP connection may stay silent before it is answered with what it sent.
    std::chrono::milliseconds receiveTimeout{std::chrono::minutes(5)};
    // How often a waiting listener looks at its stop flag; also the pause before a restart.
    std::chrono::milliseconds stopCheckInterval{200};
};

}  // namespace tavik::net
