#pragma once
// Serving TCP connections: runs each on a worker of its own, up to maxConnections at once and
// no more than half of them for one address; further connections wait for a worker. A
// connection that waits evicts one in its way that has been silent for a second or more, which
// ends as at its time-out, so silent callers cannot hold every worker. A kind of TCP listener
// supplies only what one connection gets.

#include <chrono>
#include <utility>

#include "core/net/connection_pool.h"
#include "core/net/connection_watch.h"
#include "core/net/listener_service.h"

namespace tavik::net {

class TcpService : public ListenerService {
public:
    explicit TcpService(ListenerConfig config) : ListenerService(std::move(config)), pool_(config_.maxConnections) {}

protected:
    using Clock = std::chrono::steady_clock;

    // Runs on the connection's worker; the connection is closed after it. It must watch the
    // stop flag in its waits (WaitForBytes does) so that a stop ends it promptly.
    virtual void ServeConnection(Socket& connection, const Endpoint& peer, const ListenerState& state) = 0;

    // Waits for bytes (or the peer's end) until deadline, in slices that look at the stop flag;
    // Failed once a stop is requested. While it waits the connection is silent: evicted for a
    // waiting connection, it returns TimedOut as at the deadline. The work's other waits do not
    // count as silence (a connection waiting for its message to be stored is not evicted).
    WaitStatus WaitForBytes(const Socket& connection, Clock::time_point deadline, const ListenerState& state);

    // Connections whose workers wait in plain blocking receives register here; the accepting
    // loop ends them at their deadlines (it goes round at least every stopCheckInterval) and
    // at a stop.
    ConnectionWatch& Watch() { return watch_; }

private:
    Socket OpenSocket() final { return Socket::OpenTcp(); }
    bool Prepare(Socket& socket) final;
    ServeEnd Serve(ServedSocket& listening, ListenerState& state) final;
    void Finish() final {
        watch_.EndAll();
        pool_.JoinAll();
    }

    ConnectionWatch watch_;
    ConnectionPool pool_;
};

}  // namespace tavik::net
