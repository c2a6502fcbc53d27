#include "core/net/tcp_listener.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/net/address_text.h"
#include "core/net/tcp_message_buffer.h"
#include "core/net/tcp_service.h"

namespace tavik::net {

namespace {

// After an end mark, bytes that follow this quickly still belong to the message.
constexpr std::chrono::milliseconds kMoreDataWait{10};
// Past the limit: how much more is read and dropped, and how long a pause ends it.
constexpr std::size_t kMostBytesDropped = 1024 * 1024;
constexpr std::chrono::milliseconds kDropPause{1000};

class TcpMessageService final : public TcpService {
public:
    using TcpService::TcpService;

private:
    void ServeConnection(Socket& connection, const Endpoint& peer, const ListenerState& state) override {
        std::vector<char> scratch(kReceiveChunkBytes);
        TcpMessageBuffer message;
        while (true) {
            WaitStatus wait = WaitForBytes(connection, Clock::now() + config_.receiveTimeout, state);
            if (state.StopRequested()) return;  // stopping: the connection is dropped unanswered
            if (wait != WaitStatus::Ready) break;
            IoResult received = connection.Receive(scratch.data(), scratch.size());
            if (received.status != IoStatus::Ok || received.count == 0) break;
            message.Add(std::string_view(scratch.data(), received.count));
            if (message.OverLimit()) break;
            if (message.EndsWithEndMark() && connection.WaitReadable(kMoreDataWait) != WaitStatus::Ready) break;
        }
        // The count tells the client its message is safe: it goes out once the message is settled,
        // and a message over the limit is handed on before the rest is drained. At a stop, or when
        // the message was lost, the connection is closed unanswered.
        if (!HandOnAndWaitUntilSettled(message, peer, state)) return;
        connection.Send(std::to_string(message.ByteCount()));
        if (message.OverLimit()) DropTheRest(connection, scratch, state);
    }

    bool HandOnAndWaitUntilSettled(const TcpMessageBuffer& message, const Endpoint& peer,
                                   const ListenerState& state) const {
        if (!config_.handler) return true;
        const std::string& text = message.Text();
        Confirmation settled = config_.handler(text.c_str(), text.size(), DottedAddress(peer.address), Transport::Tcp);
        return settled.Wait(config_.stopCheckInterval, [&state] { return state.StopRequested(); });
    }

    // Closing with unread bytes would reset the connection, and the client could lose its
    // count. So the answer is ended and what still comes is read, up to a bound.
    void DropTheRest(Socket& connection, std::vector<char>& scratch, const ListenerState& state) {
        connection.ShutdownSend();
        Clock::time_point deadline = Clock::now() + config_.receiveTimeout;
        std::size_t dropped = 0;
        while (dropped < kMostBytesDropped) {
            Clock::time_point pauseEnd = std::min(deadline, Clock::now() + kDropPause);
            if (WaitForBytes(connection, pauseEnd, state) != WaitStatus::Ready) return;
            IoResult received = connection.Receive(scratch.data(), scratch.size());
            if (received.status != IoStatus::Ok || received.count == 0) return;
            dropped += received.count;
        }
    }
};

}  // namespace

std::shared_ptr<ListenerService> TcpListener::MakeService() const {
    return std::make_shared<TcpMessageService>(config_);
}

}  // namespace tavik::net
