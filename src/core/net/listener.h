#pragma once
// What both listeners share: their configuration and the thread that takes the port and
// serves it (ListenerService::Run); each kind supplies only the service that opens, readies
// and serves its socket.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "core/net/listener_config.h"
#include "core/net/listener_service.h"
#include "core/net/listener_thread.h"

namespace tavik::net {

class Listener {
public:
    explicit Listener(ListenerConfig config) : config_(std::move(config)) {}
    virtual ~Listener() = default;

    // One start per object.
    void Start() { thread_.Start(Body(), config_.onFinished); }
    // What a thread of this listener runs, for a thread its owner keeps (the program runs every
    // listener on a thread of the same kind); independent of this object.
    ListenerThread::Body Body() const {
        return [service = MakeService()](ListenerState& state) { service->Run(state); };
    }
    void RequestStop() { thread_.RequestStop(); }
    bool WaitStopped(std::chrono::milliseconds limit) { return thread_.WaitStopped(limit); }
    // Ends serving, every TCP connection included; a thread still busy after limit is let go.
    bool Stop(std::chrono::milliseconds limit = kListenerStopBound) { return thread_.Stop(limit); }
    // The first outcome of taking the port: the port once listening; nothing when it could not
    // be taken (the listener keeps trying it unless told not to, and a later call gives the port
    // once it has it), when the thread ended or when time ran out.
    std::optional<std::uint16_t> WaitListening(std::chrono::milliseconds limit) { return thread_.WaitListening(limit); }

protected:
    // Made at each start; the thread owns it, so it must not refer back to this object.
    virtual std::shared_ptr<ListenerService> MakeService() const = 0;

    const ListenerConfig config_;

private:
    ListenerThread thread_;
};

}  // namespace tavik::net
