#include "core/net/udp_listener.h"

#include <thread>
#include <vector>

#include "core/net/address_text.h"
#include "core/net/socket_layer.h"

namespace tavik::net {

namespace {

enum class ServeEnd { Stopped, Fault };

std::string CountReply(std::size_t count) {
    // 32-bit little-endian signed integer; a count never exceeds the receive size.
    auto value = static_cast<std::uint32_t>(count);
    std::string reply(4, '\0');
    for (int i = 0; i < 4; ++i) reply[i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
    return reply;
}

ServeEnd Serve(Socket& socket, std::vector<char>& buffer, const ListenerConfig& config, ListenerState& state) {
    while (!state.StopRequested()) {
        WaitStatus wait = socket.WaitReadable(config.stopCheckInterval);
        if (wait == WaitStatus::TimedOut) continue;
        if (wait == WaitStatus::Failed) return ServeEnd::Fault;

        Endpoint from;
        IoResult received = socket.ReceiveFrom(buffer.data(), kReceiveChunkBytes, from);
        if (received.status == IoStatus::Closed) return ServeEnd::Fault;
        // Errors such as a port-unreachable report of an earlier reply: neither answer nor process.
        if (received.status != IoStatus::Ok) continue;

        socket.SendTo(CountReply(received.count), from);
        if (received.count > kMaxMessageBytes) continue;
        buffer[received.count] = '\0';
        if (config.handler) config.handler(buffer.data(), received.count, DottedAddress(from.address), Transport::Udp);
    }
    return ServeEnd::Stopped;
}

void Run(const ListenerConfig& config, ListenerState& state) {
    std::vector<char> buffer(kReceiveChunkBytes + 1);
    std::uint16_t port = config.port;
    while (!state.StopRequested()) {
        Socket socket = Socket::OpenUdp();
        if (!socket.Bind(kAnyAddress, port)) {
            if (config.onBindFailure) config.onBindFailure(port);
            state.SetFailed();
            return;
        }
        if (port == 0) {
            // A restart binds the same port again, so senders keep reaching us.
            if (std::optional<Endpoint> local = socket.LocalEndpoint()) port = local->port;
        }
        socket.EnableBroadcast();
        state.SetListening(port);

        ServeEnd end = ServeEnd::Fault;
        try {
            end = Serve(socket, buffer, config, state);
        } catch (...) {
            end = ServeEnd::Fault;  // a fault while handling: serve again on a fresh socket
        }
        if (end == ServeEnd::Stopped) return;
        socket.Close();
        std::this_thread::sleep_for(config.stopCheckInterval);
    }
}

}  // namespace

void UdpListener::Start() {
    thread_.Start([config = config_](ListenerState& state) { Run(config, state); }, config_.onFinished);
}

}  // namespace tavik::net
