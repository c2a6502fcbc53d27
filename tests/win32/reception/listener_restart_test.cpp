// A listener thread let go at the stop bound, under Winsock: the stopper closes its socket, so
// the port binds again at once for the next start.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <string>

#include "core/net/socket_layer.h"
#include "core/net/udp_listener.h"

namespace tavik::net {
namespace {

using namespace std::chrono_literals;

// The 4-byte count that answers a datagram, or nothing when none came in time.
std::optional<std::string> CountReply(Socket& peer) {
    if (peer.WaitReadable(20s) != WaitStatus::Ready) return std::nullopt;
    char reply[16];
    Endpoint from;
    IoResult received = peer.ReceiveFrom(reply, sizeof reply, from);
    if (received.status != IoStatus::Ok) return std::nullopt;
    return std::string(reply, received.count);
}

TEST(NetworkListenerRestartTest, AUdpThreadLetGoAtTheStopBoundGivesItsPortBack) {
    SocketLibrary library;
    ASSERT_TRUE(library.Ready());
    auto handlerEntered = std::make_shared<std::promise<void>>();
    auto unstick = std::make_shared<std::promise<void>>();
    ListenerConfig config;
    config.port = 0;
    config.stopCheckInterval = 50ms;
    config.handler = [handlerEntered, stuck = unstick->get_future().share()](const char*, std::size_t,
                                                                              const std::string&, Transport) {
        handlerEntered->set_value();
        stuck.wait();
        return Confirmation();
    };
    UdpListener first(config);
    first.Start();
    std::optional<std::uint16_t> port = first.WaitListening(20s);
    ASSERT_TRUE(port);

    Socket peer = Socket::OpenUdp();
    ASSERT_TRUE(peer.Bind(kLoopbackAddress, 0));
    const Endpoint listener{kLoopbackAddress, *port};
    ASSERT_EQ(peer.SendTo("hold", listener).status, IoStatus::Ok);
    EXPECT_EQ(CountReply(peer), std::string("\x04\0\0\0", 4));
    ASSERT_EQ(handlerEntered->get_future().wait_for(20s), std::future_status::ready);
    EXPECT_FALSE(first.Stop(100ms)) << "the handler holds the thread";

    std::atomic<bool> bindFailed{false};
    ListenerConfig again;
    again.port = *port;
    again.onBindFailure = [&](std::uint16_t) { bindFailed = true; };
    UdpListener second(again);
    second.Start();
    EXPECT_EQ(second.WaitListening(20s), port);
    EXPECT_FALSE(bindFailed.load());
    ASSERT_EQ(peer.SendTo("after", listener).status, IoStatus::Ok);
    EXPECT_EQ(CountReply(peer), std::string("\x05\0\0\0", 4));

    unstick->set_value();  // the thread let go ends on its own
    EXPECT_TRUE(second.Stop());
}

}  // namespace
}  // namespace tavik::net
