#include "core/net/tcp_listener.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <stdexcept>
#include <thread>

#include "core/net/network_receiver.h"
#include "core/net/udp_listener.h"
#include "loopback_peer.h"
#include "net_test_support.h"

namespace tavik::net {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using testing::Fd;
using testing::ReceivedLog;

class TcpListenerTest : public ::testing::Test {
protected:
    std::uint16_t StartListener(NetworkHandler handler, std::chrono::milliseconds receiveTimeout = 5min) {
        ListenerConfig config;
        config.port = 0;
        config.handler = std::move(handler);
        config.receiveTimeout = receiveTimeout;
        config.stopCheckInterval = 50ms;
        listener = std::make_unique<TcpListener>(config);
        listener->Start();
        std::optional<std::uint16_t> port = listener->WaitListening(20s);
        EXPECT_TRUE(port);
        return port.value_or(0);
    }
    void TearDown() override {
        if (listener) {
            EXPECT_TRUE(listener->Stop());
        }
    }

    ReceivedLog log;
    std::unique_ptr<TcpListener> listener;
};

TEST_F(TcpListenerTest, EndMarkGetsTheCountAndACloseThenTheMessageGoesOn) {
    std::uint16_t port = StartListener(log.Handler());
    Fd client = testing::TcpConnect(port);
    ASSERT_GE(client.get(), 0);
    ASSERT_TRUE(testing::SendAll(client.get(), "abc/$7"));
    testing::StreamEnd end = testing::ReadUntilClosed(client.get());
    EXPECT_EQ(end.data, "6");
    EXPECT_TRUE(end.closed);
    ASSERT_TRUE(log.WaitForCount(1));
    auto received = log.All();
    EXPECT_EQ(received[0].data, "abc/$7");
    EXPECT_EQ(received[0].length, 6u);
    EXPECT_TRUE(received[0].nulAfter);
    EXPECT_EQ(received[0].peerAddress, "127.0.0.1");
    EXPECT_EQ(received[0].transport, Transport::Tcp);
}

TEST_F(TcpListenerTest, LineFeedEndMarkAndPiecesThatArriveApart) {
    std::uint16_t port = StartListener(log.Handler());
    Fd client = testing::TcpConnect(port);
    ASSERT_TRUE(testing::SendAll(client.get(), "/$0Hi/$1"));
    std::this_thread::sleep_for(100ms);  // a gap well beyond the 10 ms look for more data
    ASSERT_TRUE(testing::SendAll(client.get(), "PC/$2/$30/$4\n"));
    EXPECT_EQ(testing::ReadUntilClosed(client.get()).data, "21");
    ASSERT_TRUE(log.WaitForCount(1));
    EXPECT_EQ(log.All()[0].data, "/$0Hi/$1PC/$2/$30/$4\n");
}

TEST_F(TcpListenerTest, ClosingTheSendingSideEndsTheMessage) {
    std::uint16_t port = StartListener(log.Handler());
    Fd client = testing::TcpConnect(port);
    ASSERT_TRUE(testing::SendAll(client.get(), "abc"));
    ::shutdown(client.get(), SHUT_WR);
    testing::StreamEnd end = testing::ReadUntilClosed(client.get());
    EXPECT_EQ(end.data, "3");
    EXPECT_TRUE(end.closed);
    ASSERT_TRUE(log.WaitForCount(1));
    EXPECT_EQ(log.All()[0].data, "abc");
}

TEST_F(TcpListenerTest, ASilentClientIsAnsweredAfterTheReceiveTimeout) {
    std::uint16_t port = StartListener(log.Handler(), 1s);
    Fd client = testing::TcpConnect(port);
    ASSERT_TRUE(testing::SendAll(client.get(), "abc"));
    testing::StreamEnd end = testing::ReadUntilClosed(client.get());
    EXPECT_EQ(end.data, "3");
    EXPECT_TRUE(end.closed);
    ASSERT_TRUE(log.WaitForCount(1));
}

TEST_F(TcpListenerTest, TextEndsAtNulInEachPieceButTheCountHasEveryByte) {
    std::uint16_t port = StartListener(log.Handler());
    Fd client = testing::TcpConnect(port);
    ASSERT_TRUE(testing::SendAll(client.get(), "ab\0cd"s));
    std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(testing::SendAll(client.get(), "ef/$7"));
    EXPECT_EQ(testing::ReadUntilClosed(client.get()).data, "10");
    ASSERT_TRUE(log.WaitForCount(1));
    EXPECT_EQ(log.All()[0].data, "abef/$7");
}

TEST_F(TcpListenerTest, StopsReadingAboveTheLimitAndCountsWhatCame) {
    std::uint16_t port = StartListener(log.Handler());
    Fd client = testing::TcpConnect(port);
    std::string big(70000, 'x');
    ASSERT_TRUE(testing::SendAll(client.get(), big));
    testing::StreamEnd end = testing::ReadUntilClosed(client.get());
    ASSERT_FALSE(end.data.empty());
    std::size_t counted = std::stoul(end.data);
    EXPECT_GT(counted, kMaxMessageBytes);
    EXPECT_LE(counted, big.size());
    ASSERT_TRUE(log.WaitForCount(1));
    auto received = log.All();
    // The piece that went over the limit is not kept.
    EXPECT_LE(received[0].length, kMaxMessageBytes);
    EXPECT_LT(received[0].length, counted);
    EXPECT_EQ(received[0].data, std::string(received[0].length, 'x'));
}

TEST_F(TcpListenerTest, EachConnectionGetsItsOwnCountAndMessage) {
    std::uint16_t port = StartListener(log.Handler());
    Fd first = testing::TcpConnect(port);
    Fd second = testing::TcpConnect(port);
    ASSERT_TRUE(testing::SendAll(second.get(), "second/$7"));
    ASSERT_TRUE(testing::SendAll(first.get(), "first/$7"));
    EXPECT_EQ(testing::ReadUntilClosed(first.get()).data, "8");
    EXPECT_EQ(testing::ReadUntilClosed(second.get()).data, "9");
    ASSERT_TRUE(log.WaitForCount(2));
    std::set<std::string> messages;
    for (const auto& received : log.All()) messages.insert(received.data);
    EXPECT_EQ(messages, (std::set<std::string>{"first/$7", "second/$7"}));
}

TEST_F(TcpListenerTest, ClientsThatHoldTheirConnectionsDoNotDelayAnother) {
    std::uint16_t port = StartListener(log.Handler());  // a silent client is held for 5 minutes
    Fd silent = testing::TcpConnect(port);
    Fd nulBeforeMark = testing::TcpConnect(port);
    std::string withNul = "/$0te\0xt/$1PC/$2/$7"s;
    ASSERT_TRUE(testing::SendAll(nulBeforeMark.get(), withNul));
    Fd third = testing::TcpConnect(port);
    std::string message = "/$0hi/$1PC/$2/$7";
    ASSERT_TRUE(testing::SendAll(third.get(), message));

    testing::StreamEnd thirdEnd = testing::ReadUntilClosed(third.get(), 10s);
    EXPECT_EQ(thirdEnd.data, std::to_string(message.size()));
    EXPECT_TRUE(thirdEnd.closed);
    // The end mark after the NUL counts, so that client is not held for the time-out either.
    EXPECT_EQ(testing::ReadUntilClosed(nulBeforeMark.get(), 10s).data, std::to_string(withNul.size()));
    ASSERT_TRUE(log.WaitForCount(2, 10s));
    std::set<std::string> messages;
    for (const auto& received : log.All()) messages.insert(received.data);
    EXPECT_EQ(messages, (std::set<std::string>{message, "/$0te"}));
}

// Connections that stay silent after connecting, as a host that means to hold every worker.
std::vector<Fd> SilentConnections(const char* from, int count, std::uint16_t port) {
    std::vector<Fd> connections;
    for (int i = 0; i < count; ++i) {
        connections.push_back(testing::TcpConnectFrom(from, port));
        EXPECT_GE(connections.back().get(), 0);
    }
    return connections;
}

// How many of the connections were answered "0" (nothing sent) and closed; waits until at least
// atLeast were, or limit passed.
std::size_t AnsweredAsSilent(std::vector<Fd>& connections, std::size_t atLeast, std::chrono::milliseconds limit) {
    std::vector<bool> done(connections.size(), false);
    std::size_t answered = 0;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (answered < atLeast && std::chrono::steady_clock::now() < deadline) {
        for (std::size_t i = 0; i < connections.size(); ++i) {
            if (done[i] || !testing::Readable(connections[i].get(), 0ms)) continue;
            testing::StreamEnd end = testing::ReadUntilClosed(connections[i].get(), 5s);
            EXPECT_EQ(end.data, "0");
            EXPECT_TRUE(end.closed && !end.reset);
            done[i] = true;
            ++answered;
        }
        std::this_thread::sleep_for(20ms);
    }
    return answered;
}

TEST_F(TcpListenerTest, SilentConnectionsOfOneHostDoNotKeepAnotherWaiting) {
    std::uint16_t port = StartListener(log.Handler());  // 16 workers, silence answered after 5 minutes
    std::vector<Fd> silent = SilentConnections("127.0.0.2", 16, port);

    Fd client = testing::TcpConnect(port);
    const std::string message = "/$0hi/$1PC/$2/$7";
    ASSERT_TRUE(testing::SendAll(client.get(), message));
    testing::StreamEnd end = testing::ReadUntilClosed(client.get(), 10s);
    EXPECT_EQ(end.data, std::to_string(message.size()));
    EXPECT_TRUE(end.closed);

    // The host holds at most half the workers; its waiting connections take the place of its
    // silent ones, which are answered as at their time-out.
    EXPECT_GE(AnsweredAsSilent(silent, 8, 20s), 8u);
    ASSERT_TRUE(log.WaitForCount(9));
}

TEST_F(TcpListenerTest, WhenSilentConnectionsHoldEveryWorkerANewOneTakesThePlaceOfTheOneSilentLongest) {
    std::uint16_t port = StartListener(log.Handler());
    std::vector<Fd> first = SilentConnections("127.0.0.2", 1, port);
    std::this_thread::sleep_for(500ms);  // so it is the one silent longest
    std::vector<Fd> second = SilentConnections("127.0.0.2", 7, port);
    std::vector<Fd> third = SilentConnections("127.0.0.3", 8, port);

    Fd client = testing::TcpConnect(port);
    const std::string message = "/$0hi/$1PC/$2/$7";
    ASSERT_TRUE(testing::SendAll(client.get(), message));
    EXPECT_EQ(testing::ReadUntilClosed(client.get(), 10s).data, std::to_string(message.size()));
    EXPECT_EQ(AnsweredAsSilent(first, 1, 10s), 1u);
    ASSERT_TRUE(log.WaitForCount(2));
    std::set<std::string> messages;
    for (const auto& received : log.All()) messages.insert(received.data);
    EXPECT_EQ(messages, (std::set<std::string>{"", message}));
}

TEST_F(TcpListenerTest, AnOversizedMessageGetsItsCountWithoutAReset) {
    std::uint16_t port = StartListener(log.Handler());
    Fd client = testing::TcpConnect(port);
    ASSERT_TRUE(testing::SendAll(client.get(), std::string(60000, 'x')));
    std::this_thread::sleep_for(100ms);  // so the limit is passed while much more is on its way
    ASSERT_TRUE(testing::SendAll(client.get(), std::string(300000, 'x')));
    testing::StreamEnd end = testing::ReadUntilClosed(client.get());
    ASSERT_FALSE(end.data.empty());
    EXPECT_GT(std::stoul(end.data), kMaxMessageBytes);
    EXPECT_TRUE(end.closed);
    EXPECT_FALSE(end.reset);
}

TEST_F(TcpListenerTest, TheCountWaitsUntilTheMessageIsSettledButARefusedOneIsAnsweredAtOnce) {
    auto sink = std::make_shared<testing::HoldingSink>();
    ReceiverEnvironment environment;
    environment.settings = [] {
        auto settings = std::make_shared<Settings>();
        settings->AllMess = "127.0.0.1";
        return settings;
    };
    environment.sink = sink;
    environment.clock = std::make_shared<testing::FixedClock>();
    environment.receiptSender = std::make_shared<testing::RecordingReceiptSender>();
    std::uint16_t port = StartListener(MakeNetworkHandler(environment));

    Fd held = testing::TcpConnect(port);
    const std::string message = "/$0hi/$1PC/$2/$7";
    ASSERT_TRUE(testing::SendAll(held.get(), message));
    ASSERT_TRUE(sink->WaitForCount(1));
    EXPECT_EQ(testing::ReadSome(held.get(), 500ms), "") << "counted before it was stored";

    // Turned away by the address list: nothing to wait for.
    Fd refused = testing::TcpConnectFrom("127.0.0.2", port);
    ASSERT_GE(refused.get(), 0);
    ASSERT_TRUE(testing::SendAll(refused.get(), message));
    testing::StreamEnd refusedEnd = testing::ReadUntilClosed(refused.get());
    EXPECT_EQ(refusedEnd.data, std::to_string(message.size()));
    EXPECT_TRUE(refusedEnd.closed);

    sink->SettleAll();
    testing::StreamEnd heldEnd = testing::ReadUntilClosed(held.get());
    EXPECT_EQ(heldEnd.data, std::to_string(message.size()));
    EXPECT_TRUE(heldEnd.closed);
    EXPECT_EQ(sink->All().size(), 1u);
}

TEST_F(TcpListenerTest, AnOversizedMessageIsHandedOnBeforeItsCountSoAStopWhileTheRestIsDrainedKeepsIt) {
    std::uint16_t port = StartListener(log.Handler());
    Fd client = testing::TcpConnect(port);
    ASSERT_TRUE(testing::SendAll(client.get(), std::string(kMaxMessageBytes + 5000, 'x')));
    // The client stays connected without sending more: the listener drains until it goes quiet.
    std::string count = testing::ReadSome(client.get());
    ASSERT_FALSE(count.empty());
    EXPECT_GT(std::stoul(count), kMaxMessageBytes);
    EXPECT_TRUE(listener->Stop());
    EXPECT_EQ(log.All().size(), 1u) << "a counted message was not handed on";
}

TEST_F(TcpListenerTest, AFaultInTheHandlerRestartsServing) {
    std::uint16_t port = StartListener(
        [handler = log.Handler()](const char* data, std::size_t length, const std::string& peer, Transport transport) {
            if (std::string_view(data, length) == "boom/$7") throw std::runtime_error("handler fault");
            return handler(data, length, peer, transport);
        });
    {
        Fd client = testing::TcpConnect(port);
        ASSERT_TRUE(testing::SendAll(client.get(), "boom/$7"));
        testing::StreamEnd end = testing::ReadUntilClosed(client.get());
        EXPECT_TRUE(end.closed);
        EXPECT_EQ(end.data, "") << "a message that was not handed on is not confirmed";
    }
    // While the fresh socket is made a connection may be refused: try until served.
    std::string reply;
    for (int attempt = 0; attempt < 40 && reply.empty(); ++attempt) {
        Fd client = testing::TcpConnect(port);
        if (client.get() < 0 || !testing::SendAll(client.get(), "after/$7")) {
            std::this_thread::sleep_for(250ms);
            continue;
        }
        reply = testing::ReadUntilClosed(client.get()).data;
    }
    EXPECT_EQ(reply, "8");
    ASSERT_TRUE(log.WaitForCount(1));
    EXPECT_EQ(log.All()[0].data, "after/$7");
}

TEST(TcpListener, ReportsAPortInUseOnceAndServesWhenItIsFree) {
    Fd holder(::socket(AF_INET, SOCK_STREAM, 0));
    int on = 1;
    ::setsockopt(holder.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    ASSERT_EQ(::bind(holder.get(), reinterpret_cast<sockaddr*>(&any), sizeof any), 0);
    ASSERT_EQ(::listen(holder.get(), 1), 0);
    std::uint16_t taken = testing::PortOf(holder.get());

    std::atomic<int> failures{0};
    std::atomic<int> failedPort{-1};
    ReceivedLog log;
    ListenerConfig config;
    config.port = taken;
    config.handler = log.Handler();
    config.bindRetryInterval = 100ms;
    config.stopCheckInterval = 50ms;
    config.onBindFailure = [&](std::uint16_t port) {
        failedPort = port;
        ++failures;
    };
    TcpListener listener(config);
    listener.Start();
    EXPECT_FALSE(listener.WaitListening(20s));
    EXPECT_FALSE(listener.WaitStopped(500ms)) << "it keeps trying the port";
    EXPECT_EQ(failures.load(), 1);
    EXPECT_EQ(failedPort.load(), taken);

    holder = Fd();
    std::optional<std::uint16_t> port;
    for (int attempt = 0; attempt < 200 && !port; ++attempt) {
        std::this_thread::sleep_for(100ms);
        port = listener.WaitListening(0ms);
    }
    ASSERT_EQ(port, taken);
    Fd client = testing::TcpConnect(taken);
    ASSERT_TRUE(testing::SendAll(client.get(), "free/$7"));
    EXPECT_EQ(testing::ReadUntilClosed(client.get()).data, "7");
    ASSERT_TRUE(log.WaitForCount(1));
    EXPECT_EQ(log.All()[0].data, "free/$7");
    EXPECT_EQ(failures.load(), 1);
    EXPECT_TRUE(listener.Stop());
}

TEST(NetworkListeners, StopEndsBothThreadsWhileAClientHoldsASilentConnection) {
    ListenerConfig config;
    config.port = 0;  // the default stop-check interval and 5-minute time-out, as the program runs them
    ReceivedLog log;
    config.handler = log.Handler();
    TcpListener tcp(config);
    UdpListener udp(config);
    tcp.Start();
    udp.Start();
    std::optional<std::uint16_t> tcpPort = tcp.WaitListening(20s);
    ASSERT_TRUE(tcpPort);
    ASSERT_TRUE(udp.WaitListening(20s));

    Fd silent = testing::TcpConnect(*tcpPort);
    ASSERT_TRUE(testing::SendAll(silent.get(), "half a mess"));
    std::this_thread::sleep_for(300ms);  // let the listener take the connection

    auto started = std::chrono::steady_clock::now();
    tcp.RequestStop();
    udp.RequestStop();
    EXPECT_TRUE(tcp.Stop());
    EXPECT_TRUE(udp.Stop());
    EXPECT_LT(std::chrono::steady_clock::now() - started, 7s);
    // The held connection is dropped unanswered and nothing is handed on.
    testing::StreamEnd end = testing::ReadUntilClosed(silent.get());
    EXPECT_TRUE(end.closed);
    EXPECT_EQ(end.data, "");
    EXPECT_TRUE(log.All().empty());
}

TEST(NetworkListeners, StartAgainOnTheSamePortAfterServing) {
    ReceivedLog log;
    ListenerConfig config;
    config.port = 0;
    config.handler = log.Handler();
    config.stopCheckInterval = 50ms;
    std::uint16_t port = 0;
    {
        TcpListener first(config);
        first.Start();
        port = first.WaitListening(20s).value_or(0);
        ASSERT_NE(port, 0);
        Fd client = testing::TcpConnect(port);
        ASSERT_TRUE(testing::SendAll(client.get(), "x/$7"));
        EXPECT_EQ(testing::ReadUntilClosed(client.get()).data, "4");
        EXPECT_TRUE(first.Stop());
    }
    // The closed connection still lingers on our side; the port must bind again at once.
    config.port = port;
    std::atomic<bool> bindFailed{false};
    config.onBindFailure = [&](std::uint16_t) { bindFailed = true; };
    TcpListener second(config);
    second.Start();
    EXPECT_EQ(second.WaitListening(20s), port);
    EXPECT_FALSE(bindFailed.load());
    EXPECT_TRUE(second.Stop());
}

}  // namespace
}  // namespace tavik::net
