#pragma once
// What a UDP or TCP listener is started with.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/net/transport.h"
#include "core/reception/confirmation.h"

namespace tavik::net {

// Gets each received message: the bytes with a NUL after them, their count, the sender's
// address as dotted text and the transport. Runs on the UDP listener thread or on the worker
// serving a TCP connection, so calls may overlap. Returns what the TCP count waits for: the
// message handed on being settled, or nothing for a message turned away. UDP ignores it.
using NetworkHandler = std::function<Confirmation(const char* data, std::size_t length, const std::string& peerAddress,
                                                  Transport transport)>;

// Largest message a listener takes; above it UDP drops the datagram and TCP stops keeping it.
inline constexpr std::size_t kMaxMessageBytes = 65279;
// Most bytes one receive call asks for.
inline constexpr std::size_t kReceiveChunkBytes = 65534;

struct ListenerConfig {
    std::uint16_t port = 7777;  // 0: any free port
    NetworkHandler handler;
    // The port could not be bound (in use, no permission). Called once; the listener then tries
    // the same port again every bindRetryInterval, quietly, and serves as soon as it gets it.
    std::function<void(std::uint16_t port)> onBindFailure;
    std::chrono::milliseconds bindRetryInterval{std::chrono::seconds(30)};
    // False: after that one report the listener gives up and its thread ends.
    bool keepTryingPort = true;
    // The last thing the listener thread does.
    std::function<void()> onFinished;
    // How long a TCP connection may stay silent before it is answered with what it sent.
    std::chrono::milliseconds receiveTimeout{std::chrono::minutes(5)};
    // TCP connections served at once, no more than half of them from one address; further ones
    // wait for a worker, and one that waits may take the place of a connection silent for a second.
    std::size_t maxConnections = 16;
    // How often a waiting listener looks at its stop flag; also the pause before a restart.
    std::chrono::milliseconds stopCheckInterval{200};
    // UDP asks it before it reads each datagram: true once the messages handed on leave room for
    // one more, false when the limit passed first. While there is none, datagrams wait in the
    // system's buffers, neither counted nor dropped. Empty: always room.
    std::function<bool(std::chrono::milliseconds limit)> waitForRoom;
};

}  // namespace tavik::net
