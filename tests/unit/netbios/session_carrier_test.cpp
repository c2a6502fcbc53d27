#include "core/netbios/session_carrier.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>
#include <utility>

#include "core/netbios/message_items.h"
#include "core/netbios/netbios_name.h"
#include "core/netbios/smb_block.h"
#include "net/loopback_peer.h"
#include "net/net_test_support.h"

namespace tavik::netbios {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using net::testing::Fd;

std::string RequestFor(const std::string& name, std::uint8_t suffix = kMessengerSuffix) {
    return BuildSessionRequest(NetbiosName(name, suffix), NetbiosName("PC1", kWorkstationSuffix));
}
std::string SingleBlock(const std::string& text) {
    return SessionPacket(kSessionMessage,
                         BuildSmbBlock(kSingleBlockMessage, {}, NameItem("PC1") + NameItem("BOB") + DataItem(text)));
}

// Runs smbclient -M BOB with the file input as its standard input; returns its exit code, or -1
// when it did not end within limit. It is killed by its PID however this ends.
int RunSmbclient(std::uint16_t port, const std::string& input, std::chrono::milliseconds limit) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const std::string portText = std::to_string(port);
    const char* argv[] = {"smbclient",      "-M", "BOB", "-I",     "127.0.0.1", "-p",
                          portText.c_str(), "-N", "-U",  "tester", nullptr};
    pid_t pid = -1;
    const bool spawned = posix_spawnp(&pid, "smbclient", &actions, nullptr, const_cast<char**>(argv), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    for (auto end = std::chrono::steady_clock::now() + limit; spawned && std::chrono::steady_clock::now() < end;) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(50ms);
    }
    if (spawned) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    return -1;
}

// The window's store: settles each message at once, or with hold keeps its settling for the test
// (one message); the collected copies carry none.
struct Store final : MessageSink {
    void Deliver(std::uint32_t priority, const IncomingMessage& message) override {
        IncomingMessage copy = message;
        std::function<void()> settle = std::exchange(copy.onSettled, {});
        if (hold) {
            held = std::move(settle);
        } else if (settle) {
            settle();
        }
        collected.Deliver(priority, copy);
    }
    net::testing::CollectingSink collected;
    bool hold = false;
    std::function<void()> held;
};

class SessionCarrierTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A silent caller holds its session past every wait here.
        carrier = std::make_unique<SessionCarrier>(SessionCarrierConfig{
            .port = 0,
            .names = {"PC7", "BOB"},
            .delivery = {.sink = store, .headingFormat = "%s>%s"},
            .receiveTimeout = 5min,
            .stopCheckInterval = 50ms,
        });
        carrier->Start();
        port = carrier->WaitListening(20s).value_or(0);
        ASSERT_NE(port, 0);
    }
    void TearDown() override { EXPECT_TRUE(carrier->Stop()); }

    std::shared_ptr<Store> store = std::make_shared<Store>();
    net::testing::CollectingSink& sink = store->collected;
    std::unique_ptr<SessionCarrier> carrier;
    std::uint16_t port = 0;
};

TEST_F(SessionCarrierTest, OnlyOurNamesGetASession) {
    for (const std::string& request : {RequestFor("ALICE"), RequestFor("BOB", 0x20)}) {
        Fd caller = net::testing::TcpConnect(port);
        ASSERT_TRUE(net::testing::SendAll(caller.get(), request + SingleBlock("refused")));
        net::testing::StreamEnd end = net::testing::ReadUntilClosed(caller.get());
        EXPECT_EQ(end.data, "\x83\0\0\x01\x82"s);
        EXPECT_TRUE(end.closed);
    }
    Fd caller = net::testing::TcpConnect(port);
    const std::string keepAlive = SessionPacket(kSessionKeepAlive);
    ASSERT_TRUE(net::testing::SendAll(caller.get(), keepAlive + RequestFor("bob") + keepAlive + SingleBlock("hi")));
    net::testing::StreamEnd end = net::testing::ReadUntilClosed(caller.get());
    EXPECT_EQ(end.data, "\x82\0\0\0"s + SessionPacket(kSessionMessage, BuildSmbBlock(kSingleBlockMessage)));
    EXPECT_TRUE(end.closed);
    ASSERT_TRUE(sink.WaitForCount(1));
    ASSERT_EQ(sink.All().size(), 1u);  // the refused sessions delivered nothing
    EXPECT_EQ(sink.All()[0].message.text, "PC1>BOB.\r\n\r\nhi");
}

TEST_F(SessionCarrierTest, SmbclientMessageArrivesWhileAnotherCallerIsSilent) {
    if (std::system("command -v smbclient >/dev/null") != 0) {
        GTEST_SKIP() << "smbclient is missing; scripts/install-deps.sh installs it";
    }
    Fd silent = net::testing::TcpConnect(port);
    ASSERT_TRUE(net::testing::SendAll(silent.get(), RequestFor("PC7")));

    const std::string text =
        "First line of a message that needs more than one text block.\n"
        "Second line, which takes it well past 127 bytes.\nThird line.";
    const std::string input = ::testing::TempDir() + "smbclient_input.txt";
    std::ofstream(input, std::ios::binary) << text;
    // On a port other than 139 smbclient sends no session request.
    EXPECT_EQ(RunSmbclient(port, input, 20s), 0);
    ASSERT_TRUE(sink.WaitForCount(1, 20s)) << "the silent caller held the message up";
    auto delivered = sink.All();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].message.text,
              "tester>BOB.\r\n\r\nFirst line of a message that needs more than one text block.\r\n"
              "Second line, which takes it well past 127 bytes.\r\nThird line.");
    EXPECT_EQ(delivered[0].message.sender, "tester");
    // The silent session is still open: the stop must end it promptly.
    EXPECT_TRUE(carrier->Stop());
}

TEST(SessionCarrierDeadline, ACallerSilentPastTheReceiveTimeIsHungUpWhileOthersAreServed) {
    auto store = std::make_shared<Store>();
    net::testing::CollectingSink& sink = store->collected;
    SessionCarrier carrier({.port = 0,
                            .names = {"BOB"},
                            .delivery = {.sink = store, .headingFormat = ""},
                            .receiveTimeout = 300ms,
                            .stopCheckInterval = 50ms});
    carrier.Start();
    const std::uint16_t port = carrier.WaitListening(20s).value_or(0);
    ASSERT_NE(port, 0);
    Fd silent = net::testing::TcpConnect(port);
    ASSERT_TRUE(net::testing::SendAll(silent.get(), RequestFor("BOB")));
    Fd caller = net::testing::TcpConnect(port);
    ASSERT_TRUE(net::testing::SendAll(caller.get(), RequestFor("BOB") + SingleBlock("hi")));
    EXPECT_TRUE(net::testing::ReadUntilClosed(caller.get()).closed);
    ASSERT_TRUE(sink.WaitForCount(1));

    net::testing::StreamEnd end = net::testing::ReadUntilClosed(silent.get());
    EXPECT_EQ(end.data, "\x82\0\0\0"s);
    EXPECT_TRUE(end.closed) << "the silent caller was never hung up";
    EXPECT_EQ(sink.All().size(), 1u);
    EXPECT_TRUE(carrier.Stop());
}

TEST(SessionCarrierDeadline, ASessionWaitingForItsStoreIsNotHungUpAtTheReceiveTime) {
    auto store = std::make_shared<Store>();
    store->hold = true;
    SessionCarrier carrier({.port = 0,
                            .names = {"BOB"},
                            .delivery = {.sink = store, .headingFormat = ""},
                            .receiveTimeout = 300ms,
                            .stopCheckInterval = 50ms});
    carrier.Start();
    const std::uint16_t port = carrier.WaitListening(20s).value_or(0);
    ASSERT_NE(port, 0);
    Fd caller = net::testing::TcpConnect(port);
    ASSERT_TRUE(net::testing::SendAll(caller.get(), SingleBlock("slow disk")));
    ASSERT_TRUE(store->collected.WaitForCount(1));
    std::this_thread::sleep_for(1s);  // well past the receive time
    store->held();
    net::testing::StreamEnd end = net::testing::ReadUntilClosed(caller.get());
    EXPECT_EQ(end.data, SessionPacket(kSessionMessage, BuildSmbBlock(kSingleBlockMessage)));
    EXPECT_TRUE(carrier.Stop());
}

TEST_F(SessionCarrierTest, ACarrierWhosePortIsTakenReportsItOnceAndEnds) {
    std::atomic<int> failures{0};
    SessionCarrier second({.port = port, .onBindFailure = [&](std::uint16_t) { ++failures; }});
    second.Start();
    EXPECT_TRUE(second.WaitStopped(20s));
    EXPECT_EQ(failures.load(), 1);
}

}  // namespace
}  // namespace tavik::netbios
