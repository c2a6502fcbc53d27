#pragma once
// What both listeners share: their configuration and the thread that serves it; each kind
// supplies only its serving loop (Start).

#include <chrono>
#include <cstdint>
#include <optional>
#include <utility>

#include "core/net/listener_config.h"
#include "core/net/listener_thread.h"

namespace tavik::net {

class Listener {
public:
    explicit Listener(ListenerConfig config) : config_(std::move(config)) {}
    virtual ~Listener() = default;

    virtual void Start() = 0;
    void RequestStop() { thread_.RequestStop(); }
    bool WaitStopped(std::chrono::milliseconds limit) { return thread_.WaitStopped(limit); }
    bool Stop(std::chrono::milliseconds limit = kListenerStopBound) { return thread_.Stop(limit); }
    // The bound port once the socket is ready; nothing if binding failed or time ran out.
    std::optional<std::uint16_t> WaitListening(std::chrono::milliseconds limit) {
        return thread_.WaitListening(limit);
    }

protected:
    ListenerConfig config_;
    ListenerThread thread_;
};

}  // namespace tavik::net
