#include "core/net/udp_listener.h"

#include <vector>

#include "core/net/address_text.h"

namespace tavik::net {

namespace {

// Enough for a burst of datagrams that come faster than they are handled.
constexpr std::size_t kBurstReceiveBytes = 4 * 1024 * 1024;
constexpr std::chrono::milliseconds kNoWait{0};

std::string CountReply(std::size_t count) {
    // 32-bit little-endian signed integer; a count never exceeds the receive size.
    auto value = static_cast<std::uint32_t>(count);
    std::string reply(4, '\0');
    for (int i = 0; i < 4; ++i) reply[i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
    return reply;
}

class UdpService final : public ListenerService {
public:
    using ListenerService::ListenerService;

private:
    Socket OpenSocket() override { return Socket::OpenUdp(); }

    bool Prepare(Socket& socket) override {
        socket.EnableBroadcast();
        socket.SetReceiveBuffer(kBurstReceiveBytes);  // a smaller one the system grants still serves
        return true;
    }

    ServeEnd Serve(ServedSocket& socket, ListenerState& state) override {
        while (RoomForTheNext(state)) {
            WaitStatus wait = socket.WaitReadable(config_.stopCheckInterval);
            if (wait == WaitStatus::TimedOut) continue;
            if (wait == WaitStatus::Failed) return ServeEnd::Fault;
            // Everything already queued is taken before the next wait, while there is room.
            do {
                if (!ServeDatagram(socket)) return ServeEnd::Fault;
            } while (RoomForTheNext(state) && socket.WaitReadable(kNoWait) == WaitStatus::Ready);
        }
        return ServeEnd::Stopped;
    }

    // Waits until what was handed on leaves room for one more; false at a stop. Until then the
    // datagrams stay in the system's buffers, neither counted nor dropped.
    bool RoomForTheNext(const ListenerState& state) const {
        while (!state.StopRequested()) {
            if (!config_.waitForRoom || config_.waitForRoom(config_.stopCheckInterval)) return true;
        }
        return false;
    }

    // False when the socket is gone.
    bool ServeDatagram(ServedSocket& socket) {
        Endpoint from;
        IoResult received = socket.ReceiveFrom(buffer_.data(), kReceiveChunkBytes, from);
        if (received.status == IoStatus::Closed) return false;
        // Errors such as a port-unreachable report of an earlier reply: neither answer nor process.
        if (received.status != IoStatus::Ok) return true;

        socket.SendTo(CountReply(received.count), from);
        if (received.count > kMaxMessageBytes) return true;
        buffer_[received.count] = '\0';
        if (!config_.handler) return true;
        config_.handler(buffer_.data(), received.count, DottedAddress(from.address), Transport::Udp);
        return true;
    }

    std::vector<char> buffer_ = std::vector<char>(kReceiveChunkBytes + 1);
};

}  // namespace

std::shared_ptr<ListenerService> UdpListener::MakeService() const { return std::make_shared<UdpService>(config_); }

}  // namespace tavik::net
