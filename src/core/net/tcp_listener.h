#pragma once
// The TCP listener: one connection is one message, served one after another. The message
// ends with "/$7" or "/$4\n" (and nothing more within 10 ms), or when the client closes its
// side or stays silent for the receive time-out. The client gets the number of bytes
// received in decimal digits, the connection is closed, and only then is the message handed
// on with transport Tcp. Reading stops once more than kMaxMessageBytes have come.

#include <chrono>
#include <cstdint>
#include <optional>

#include "core/net/listener_config.h"
#include "core/net/listener_thread.h"

namespace tavik::net {

class TcpListener {
public:
    explicit TcpListener(ListenerConfig config) : config_(std::move(config)) {}

    void Start();
    void RequestStop() { thread_.RequestStop(); }
    bool WaitStopped(std::chrono::milliseconds limit) { return thread_.WaitStopped(limit); }
    bool Stop(std::chrono::milliseconds limit = kListenerStopBound) { return thread_.Stop(limit); }
    std::optional<std::uint16_t> WaitListening(std::chrono::milliseconds limit) {
        return thread_.WaitListening(limit);
    }

private:
    ListenerConfig config_;
    ListenerThread thread_;
};

}  // namespace tavik::net
