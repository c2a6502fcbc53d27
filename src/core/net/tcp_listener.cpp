#include "core/net/tcp_listener.h"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "core/net/address_text.h"
#include "core/net/marker_search.h"
#include "core/net/socket_layer.h"
#include "core/net/tcp_framing.h"

namespace tavik::net {

namespace {

using Clock = std::chrono::steady_clock;

enum class ServeEnd { Stopped, Fault };

constexpr int kBacklog = 5;
// After an end mark, bytes that follow this quickly still belong to the message.
constexpr std::chrono::milliseconds kMoreDataWait{10};

// Waits for bytes until deadline, in slices that look at the stop flag.
WaitStatus WaitForBytes(const Socket& connection, Clock::time_point deadline, const ListenerConfig& config,
                        const ListenerState& state) {
    while (!state.StopRequested()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return WaitStatus::TimedOut;
        WaitStatus wait = connection.WaitReadable(std::min(left, config.stopCheckInterval));
        if (wait != WaitStatus::TimedOut) return wait;
    }
    return WaitStatus::Failed;
}

void ServeConnection(Socket& connection, const Endpoint& peer, std::vector<char>& scratch,
                     const ListenerConfig& config, const ListenerState& state) {
    std::string message;
    std::size_t total = 0;
    while (true) {
        WaitStatus wait = WaitForBytes(connection, Clock::now() + config.receiveTimeout, config, state);
        if (state.StopRequested()) return;  // stopping: the connection is dropped unanswered
        if (wait != WaitStatus::Ready) break;
        IoResult received = connection.Receive(scratch.data(), scratch.size());
        if (received.status != IoStatus::Ok || received.count == 0) break;
        total += received.count;
        if (total > kMaxMessageBytes) break;  // answered with the count; the rest is not read
        // The message is text: each chunk counts up to its first NUL.
        message.append(UpToNul(std::string_view(scratch.data(), received.count)));
        if (EndsWithTcpEndMark(message) && connection.WaitReadable(kMoreDataWait) != WaitStatus::Ready) break;
    }
    connection.Send(std::to_string(total));
    connection.Close();
    if (config.handler) config.handler(message.c_str(), message.size(), DottedAddress(peer.address), Transport::Tcp);
}

ServeEnd Serve(Socket& listening, std::vector<char>& scratch, const ListenerConfig& config, ListenerState& state) {
    while (!state.StopRequested()) {
        WaitStatus wait = listening.WaitReadable(config.stopCheckInterval);
        if (wait == WaitStatus::TimedOut) continue;
        if (wait == WaitStatus::Failed) return ServeEnd::Fault;
        Endpoint peer;
        IoStatus status = IoStatus::Failed;
        Socket connection = listening.Accept(peer, status);
        if (status == IoStatus::Closed) return ServeEnd::Fault;
        if (!connection.IsOpen()) continue;  // the client gave up before we took it: accept again
        ServeConnection(connection, peer, scratch, config, state);
    }
    return ServeEnd::Stopped;
}

void Run(const ListenerConfig& config, ListenerState& state) {
    std::vector<char> scratch(kReceiveChunkBytes);
    std::uint16_t port = config.port;
    while (!state.StopRequested()) {
        Socket listening = Socket::OpenTcp();
        if (!listening.Bind(kAnyAddress, port)) {
            if (config.onBindFailure) config.onBindFailure(port);
            state.SetFailed();
            return;
        }
        if (!listening.Listen(kBacklog)) {
            state.SetFailed();  // silently, as there is nothing the user could do
            return;
        }
        if (port == 0) {
            if (std::optional<Endpoint> local = listening.LocalEndpoint()) port = local->port;
        }
        state.SetListening(port);

        ServeEnd end = ServeEnd::Fault;
        try {
            end = Serve(listening, scratch, config, state);
        } catch (...) {
            end = ServeEnd::Fault;  // a fault while serving: start over on a fresh socket
        }
        if (end == ServeEnd::Stopped) return;
        listening.Close();
        std::this_thread::sleep_for(config.stopCheckInterval);
    }
}

}  // namespace

void TcpListener::Start() {
    thread_.Start([config = config_](ListenerState& state) { Run(config, state); }, config_.onFinished);
}

}  // namespace tavik::net
