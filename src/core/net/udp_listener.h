#pragma once
// The UDP listener: one datagram is one message. Every datagram is answered at once with
// its byte count (4 bytes, little-endian) before it is looked at; datagrams above
// kMaxMessageBytes are then dropped, the others handed on with transport Udp.

#include <chrono>
#include <cstdint>
#include <optional>

#include "core/net/listener_config.h"
#include "core/net/listener_thread.h"

namespace tavik::net {

class UdpListener {
public:
    explicit UdpListener(ListenerConfig config) : config_(std::move(config)) {}

    void Start();
    void RequestStop() { thread_.RequestStop(); }
    bool WaitStopped(std::chrono::milliseconds limit) { return thread_.WaitStopped(limit); }
    bool Stop(std::chrono::milliseconds limit = kListenerStopBound) { return thread_.Stop(limit); }
    // The bound port once the socket is ready; nothing if binding failed or time ran out.
    std::optional<std::uint16_t> WaitListening(std::chrono::milliseconds limit) {
        return thread_.WaitListening(limit);
    }

private:
    ListenerConfig config_;
    ListenerThread thread_;
};

}  // namespace tavik::net
