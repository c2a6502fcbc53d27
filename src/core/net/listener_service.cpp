#include "core/net/listener_service.h"

namespace tavik::net {

void ListenerService::Run(ListenerState& state) {
    try {
        ServeUntilStopped(state);
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
}

void ListenerService::ServeUntilStopped(ListenerState& state) {
    std::uint16_t port = config_.port;
    bool failureReported = false;
    while (!state.StopRequested()) {
        Socket socket = OpenSocket();
        if (!TakePort(socket, port)) {
            // The user is told once; the port is then tried again quietly until it is free.
            if (!failureReported && config_.onBindFailure) config_.onBindFailure(port);
            failureReported = true;
            state.SetFailed();
            if (!config_.keepTryingPort) return;
            state.WaitForStop(config_.bindRetryInterval);
            continue;
        }
        failureReported = false;
        auto served = std::make_shared<ServedSocket>(std::move(socket));
        state.SetServedSocket(served);
        state.SetListening(port);

        ServeEnd end = ServeEnd::Fault;
        try {
            end = Serve(*served, state);
        } catch (...) {
            end = ServeEnd::Fault;  // a fault while serving: start over on a fresh socket
        }
        // Closed before anything that may outlast the stop bound (ending the connections).
        served->Close();
        state.SetServedSocket(nullptr);
        if (end == ServeEnd::Stopped) return;
        state.WaitForStop(config_.stopCheckInterval);
    }
}

bool ListenerService::TakePort(Socket& socket, std::uint16_t& port) {
    if (!socket.Bind(kAnyAddress, port) || !Prepare(socket)) return false;
    if (port == 0) {
        // A restart binds the same port again, so senders keep reaching us.
        if (std::optional<Endpoint> local = socket.LocalEndpoint()) port = local->port;
    }
    return true;
}

}  // namespace tavik::net
