#include "core/net/tcp_service.h"

#include "core/net/stoppable_wait.h"

namespace tavik::net {

namespace {

// Room for a burst of connections while every worker is busy.
constexpr int kBacklog = 64;

}  // namespace

bool TcpService::Prepare(Socket& socket) { return socket.Listen(kBacklog); }

ServeEnd TcpService::Serve(ServedSocket& listening, ListenerState& state) {
    while (!state.StopRequested()) {
        watch_.EndOverdue(Clock::now());
        // At the limit nothing is accepted: the next connections wait in the backlog.
        if (!pool_.WaitForRoom(config_.stopCheckInterval)) continue;
        WaitStatus wait = listening.WaitReadable(config_.stopCheckInterval);
        if (wait == WaitStatus::TimedOut) continue;
        if (wait == WaitStatus::Failed) return ServeEnd::Fault;
        Endpoint peer;
        IoStatus status = IoStatus::Failed;
        Socket connection = listening.Accept(peer, status);
        if (status == IoStatus::Closed) return ServeEnd::Fault;
        if (!connection.IsOpen()) continue;  // the client gave up before we took it: accept again
        pool_.Run(std::move(connection),
                  [this, peer, &state](Socket& accepted) { ServeConnection(accepted, peer, state); });
    }
    watch_.EndAll();
    return ServeEnd::Stopped;
}

WaitStatus TcpService::WaitForBytes(const Socket& connection, Clock::time_point deadline,
                                    const ListenerState& state) const {
    return WaitReadableUntil(connection, deadline, &state, config_.stopCheckInterval);
}

}  // namespace tavik::net
