#include "core/net/udp_listener.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

#include "core/reception/hand_off_queue.h"
#include "loopback_peer.h"

namespace tavik::net {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using testing::Fd;
using testing::ReceivedLog;

std::string CountBytes(std::uint32_t count) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((count >> (8 * i)) & 0xFF);
    return bytes;
}

class UdpListenerTest : public ::testing::Test {
protected:
    std::uint16_t StartListener(NetworkHandler handler,
                                std::function<bool(std::chrono::milliseconds)> waitForRoom = nullptr) {
        ListenerConfig config;
        config.port = 0;
        config.handler = std::move(handler);
        config.waitForRoom = std::move(waitForRoom);
        config.stopCheckInterval = 50ms;
        listener = std::make_unique<UdpListener>(config);
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
    std::unique_ptr<UdpListener> listener;
};

TEST_F(UdpListenerTest, AnswersWithTheCountAndHandsTheDatagramOn) {
    std::uint16_t port = StartListener(log.Handler());
    Fd peer = testing::UdpPeer();
    ASSERT_TRUE(testing::SendDatagram(peer.get(), port, "hello"));
    EXPECT_EQ(testing::ReceiveDatagram(peer.get()), "\x05\0\0\0"s);
    ASSERT_TRUE(log.WaitForCount(1));
    auto received = log.All();
    EXPECT_EQ(received[0].data, "hello");
    EXPECT_EQ(received[0].length, 5u);
    EXPECT_TRUE(received[0].nulAfter);
    EXPECT_EQ(received[0].peerAddress, "127.0.0.1");
    EXPECT_EQ(received[0].transport, Transport::Udp);
}

TEST_F(UdpListenerTest, KeepsBinaryBytesAndServesManyDatagrams) {
    std::uint16_t port = StartListener(log.Handler());
    Fd peer = testing::UdpPeer();
    std::string binary = "MSG\0#0a\0#1b\0\xff"s;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(testing::SendDatagram(peer.get(), port, binary));
        EXPECT_EQ(testing::ReceiveDatagram(peer.get()), CountBytes(static_cast<std::uint32_t>(binary.size())));
    }
    ASSERT_TRUE(log.WaitForCount(3));
    for (const auto& received : log.All()) EXPECT_EQ(received.data, binary);
}

TEST_F(UdpListenerTest, AnswersButDropsDatagramsAboveTheLimit) {
    std::uint16_t port = StartListener(log.Handler());
    Fd peer = testing::UdpPeer();
    ASSERT_TRUE(testing::SendDatagram(peer.get(), port, std::string(kMaxMessageBytes + 1, 'x')));
    EXPECT_EQ(testing::ReceiveDatagram(peer.get()), CountBytes(kMaxMessageBytes + 1));
    ASSERT_TRUE(testing::SendDatagram(peer.get(), port, std::string(kMaxMessageBytes, 'y')));
    EXPECT_EQ(testing::ReceiveDatagram(peer.get()), CountBytes(kMaxMessageBytes));
    ASSERT_TRUE(log.WaitForCount(1));
    auto received = log.All();
    ASSERT_EQ(received.size(), 1u) << "the long datagram was handed on";
    EXPECT_EQ(received[0].length, kMaxMessageBytes);
    EXPECT_EQ(received[0].data[0], 'y');
}

TEST_F(UdpListenerTest, NothingIsReadWhileTheQueueIsFullAndWhatWaitedIsTakenOnceThereIsRoom) {
    auto queue = std::make_shared<HandOffQueue>(HandOffBounds{1, 1u << 20}, nullptr);
    ASSERT_TRUE(queue->Push(kNormalPriority, IncomingMessage{"waiting for the window", "PC"}));
    auto sink = std::make_shared<QueueMessageSink>(queue);
    std::uint16_t port =
        StartListener(log.Handler(), [sink](std::chrono::milliseconds limit) { return sink->WaitForRoom(limit); });
    Fd peer = testing::UdpPeer();
    ASSERT_TRUE(testing::SendDatagram(peer.get(), port, "first"));
    ASSERT_TRUE(testing::SendDatagram(peer.get(), port, "second"));
    EXPECT_FALSE(testing::ReceiveDatagram(peer.get(), 500ms)) << "counted while there was no room";
    EXPECT_TRUE(log.All().empty());

    bool moreLeft = false;
    ASSERT_EQ(queue->Take(1, moreLeft).size(), 1u);
    EXPECT_EQ(testing::ReceiveDatagram(peer.get()), CountBytes(5));
    EXPECT_EQ(testing::ReceiveDatagram(peer.get()), CountBytes(6));
    ASSERT_TRUE(log.WaitForCount(2));
    EXPECT_EQ(log.All()[0].data, "first");
    EXPECT_EQ(log.All()[1].data, "second");
}

TEST_F(UdpListenerTest, AFaultInTheHandlerRestartsServingOnTheSamePort) {
    std::uint16_t port = StartListener([this, handler = log.Handler()](const char* data, std::size_t length,
                                                                       const std::string& peer, Transport transport) {
        if (std::string_view(data, length) == "boom") throw std::runtime_error("handler fault");
        return handler(data, length, peer, transport);
    });
    Fd peer = testing::UdpPeer();
    ASSERT_TRUE(testing::SendDatagram(peer.get(), port, "boom"));
    EXPECT_EQ(testing::ReceiveDatagram(peer.get()), CountBytes(4));
    // While the fresh socket is made a datagram may find no one: send until answered.
    bool answered = false;
    for (int attempt = 0; attempt < 20 && !answered; ++attempt) {
        ASSERT_TRUE(testing::SendDatagram(peer.get(), port, "after"));
        answered = testing::ReceiveDatagram(peer.get(), 1s).has_value();
    }
    ASSERT_TRUE(answered);
    ASSERT_TRUE(log.WaitForCount(1));
    EXPECT_EQ(log.All()[0].data, "after");
}

TEST(UdpListener, ReportsAPortInUseOnceAndStopsWhileWaitingToTryAgain) {
    Fd holder(::socket(AF_INET, SOCK_DGRAM, 0));
    sockaddr_in any{};
    any.sin_family = AF_INET;
    ASSERT_EQ(::bind(holder.get(), reinterpret_cast<sockaddr*>(&any), sizeof any), 0);
    std::uint16_t taken = testing::PortOf(holder.get());

    std::atomic<int> failures{0};
    std::atomic<int> failedPort{-1};
    ListenerConfig config;
    config.port = taken;
    config.onBindFailure = [&](std::uint16_t port) {
        failedPort = port;
        ++failures;
    };
    UdpListener listener(config);  // tries again only after 30 s
    listener.Start();
    EXPECT_FALSE(listener.WaitListening(20s));
    EXPECT_EQ(failures.load(), 1);
    EXPECT_EQ(failedPort.load(), taken);
    EXPECT_TRUE(listener.Stop());
}

TEST_F(UdpListenerTest, EveryDatagramOfABurstIsHandedOn) {
    constexpr int kBurst = 1000;
    auto handled = std::make_shared<std::atomic<int>>(0);
    std::uint16_t port = StartListener([handled](const char*, std::size_t, const std::string&, Transport) {
        ++*handled;
        return Confirmation();
    });
    Fd peer = testing::UdpPeer();
    for (int i = 0; i < kBurst; ++i) ASSERT_TRUE(testing::SendDatagram(peer.get(), port, "/$0burst/$1PC/$2"));
    for (int waited = 0; waited < 200 && handled->load() < kBurst; ++waited) std::this_thread::sleep_for(100ms);
    EXPECT_EQ(handled->load(), kBurst);
}

TEST(UdpListener, AThreadLetGoAtTheStopBoundGivesItsPortBackForAnImmediateRestart) {
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
    auto first = std::make_unique<UdpListener>(config);
    first->Start();
    std::optional<std::uint16_t> port = first->WaitListening(20s);
    ASSERT_TRUE(port);
    Fd peer = testing::UdpPeer();
    ASSERT_TRUE(testing::SendDatagram(peer.get(), *port, "hold"));
    EXPECT_EQ(testing::ReceiveDatagram(peer.get()), CountBytes(4));
    ASSERT_EQ(handlerEntered->get_future().wait_for(20s), std::future_status::ready);
    EXPECT_FALSE(first->Stop(100ms)) << "the handler holds the thread";

    std::atomic<bool> bindFailed{false};
    ListenerConfig again;
    again.port = *port;
    again.onBindFailure = [&](std::uint16_t) { bindFailed = true; };
    ReceivedLog log;
    again.handler = log.Handler();
    UdpListener second(again);
    second.Start();
    EXPECT_EQ(second.WaitListening(20s), port);
    EXPECT_FALSE(bindFailed.load());
    ASSERT_TRUE(testing::SendDatagram(peer.get(), *port, "after"));
    EXPECT_EQ(testing::ReceiveDatagram(peer.get()), CountBytes(5));
    EXPECT_TRUE(log.WaitForCount(1));

    unstick->set_value();  // the thread let go ends on its own
    EXPECT_TRUE(second.Stop());
}

TEST(UdpListener, StopsPromptlyAndCallsItsFinishHook) {
    std::atomic<bool> finished{false};
    ListenerConfig config;
    config.port = 0;
    config.onFinished = [&] { finished = true; };
    UdpListener listener(config);
    listener.Start();
    ASSERT_TRUE(listener.WaitListening(20s));
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(listener.Stop());
    EXPECT_LT(std::chrono::steady_clock::now() - started, 7s);
    EXPECT_TRUE(finished.load());
}

}  // namespace
}  // namespace tavik::net
