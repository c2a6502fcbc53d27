#include "core/net/tcp_service.h"

#include <algorithm>

#include "core/net/stoppable_wait.h"

namespace tavik::net {

namespace {

// Room for a burst of connections while every worker is busy.
constexpr int kBacklog = 64;
// Accepted connections that may wait for a worker; beyond them the backlog holds the rest.
constexpr std::size_t kMostWaiting = 64;
// A connection may be evicted for a waiting one once it has been silent this long.
constexpr std::chrono::seconds kLeastSilence{1};

}  // namespace

bool TcpService::Prepare(Socket& socket) { return socket.Listen(kBacklog); }

ServeEnd TcpService::Serve(ServedSocket& listening, ListenerState& state) {
    while (!state.StopRequested()) {
        const Clock::time_point now = Clock::now();
        watch_.EndOverdue(now);
        pool_.MakeRoom(now, kLeastSilence);
        if (!pool_.WaitForQueueRoom(kMostWaiting, config_.stopCheckInterval)) continue;
        WaitStatus wait = listening.WaitReadable(config_.stopCheckInterval);
        if (wait == WaitStatus::TimedOut) continue;
        if (wait == WaitStatus::Failed) return ServeEnd::Fault;
        Endpoint peer;
        IoStatus status = IoStatus::Failed;
        Socket connection = listening.Accept(peer, status);
        if (status == IoStatus::Closed) return ServeEnd::Fault;
        if (!connection.IsOpen()) continue;  // the client gave up before we took it: accept again
        // Refused (closed unanswered) when its host floods us.
        pool_.Run(std::move(connection), peer.address,
                  [this, peer, &state](Socket& accepted) { ServeConnection(accepted, peer, state); });
    }
    watch_.EndAll();
    return ServeEnd::Stopped;
}

WaitStatus TcpService::WaitForBytes(const Socket& connection, Clock::time_point deadline, const ListenerState& state) {
    // In slices, so an eviction is seen as soon as a stop would be.
    pool_.WaitStarts(connection);
    WaitStatus wait = WaitStatus::TimedOut;
    while (!pool_.Evicted(connection)) {
        const Clock::time_point sliceEnd = std::min(deadline, Clock::now() + config_.stopCheckInterval);
        wait = WaitReadableUntil(connection, sliceEnd, &state, config_.stopCheckInterval);
        if (wait != WaitStatus::TimedOut || Clock::now() >= deadline) break;
    }
    pool_.WaitEnds(connection);
    return wait;
}

}  // namespace tavik::net
