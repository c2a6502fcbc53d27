// tavik-send, run as the program it is, against the listeners and the protocol handler.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <regex>

#include "core/net/network_receiver.h"
#include "core/net/receipt_sender.h"
#include "core/net/tcp_listener.h"
#include "core/net/udp_listener.h"
#include "core/netbios/session_carrier.h"
#include "loopback_peer.h"
#include "net_test_support.h"

namespace tavik::net {
namespace {

using namespace std::chrono_literals;
using testing::CollectingSink;
using namespace std::string_literals;

std::filesystem::path SenderProgram() {
    // Built into the same output folder as this test.
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tavik-send";
}

struct CommandResult {
    int exitCode = -1;
    std::string output;
};

// Runs a shell command line; the sender's own time-out bounds how long this takes.
CommandResult RunCommand(const std::string& commandLine) {
    CommandResult result;
    FILE* pipe = ::popen((commandLine + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[512];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, count);
    int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class TavikSendTest : public ::testing::Test {
protected:
    void SetUp() override {
        program = SenderProgram().string();
        ASSERT_TRUE(std::filesystem::exists(program)) << program << " is built with the tests";

        ReceiverEnvironment environment;
        environment.settings = [this] {
            std::lock_guard lock(settingsMutex);
            return std::make_shared<const Settings>(settings);
        };
        environment.sink = sink;
        environment.lookUpLocalHost = [] { return LocalHost{"RECEIVER", "127.0.0.1"}; };
        environment.clock = std::make_shared<testing::FixedClock>();
        environment.receiptSender = std::make_shared<SocketReceiptSender>();
        ListenerConfig config;
        config.port = 0;
        config.handler = MakeNetworkHandler(environment);
        config.stopCheckInterval = 50ms;
        udp = std::make_unique<UdpListener>(config);
        tcp = std::make_unique<TcpListener>(config);
        udp->Start();
        tcp->Start();
        udpPort = udp->WaitListening(20s).value_or(0);
        tcpPort = tcp->WaitListening(20s).value_or(0);
        ASSERT_NE(udpPort, 0);
        ASSERT_NE(tcpPort, 0);
        std::lock_guard lock(settingsMutex);
        settings.UDPPort = udpPort;
        settings.TCPPort = tcpPort;
    }

    void TearDown() override {
        if (udp) {
            EXPECT_TRUE(udp->Stop());
        }
        if (tcp) {
            EXPECT_TRUE(tcp->Stop());
        }
    }

    void ChangeSettings(const std::function<void(Settings&)>& change) {
        std::lock_guard lock(settingsMutex);
        change(settings);
    }

    std::string program;
    std::mutex settingsMutex;
    Settings settings;
    std::shared_ptr<CollectingSink> sink = std::make_shared<CollectingSink>();
    std::unique_ptr<UdpListener> udp;
    std::unique_ptr<TcpListener> tcp;
    std::uint16_t udpPort = 0;
    std::uint16_t tcpPort = 0;
};

TEST_F(TavikSendTest, UdpMessageIsCountedDeliveredAndReceipted) {
    CommandResult result = RunCommand(program + " --udp 127.0.0.1:" + std::to_string(udpPort) +
                                      " --from TESTPC --timeout 15 Message from A to BOB.");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    std::smatch count;
    ASSERT_TRUE(std::regex_search(result.output, count, std::regex("reply: (\\d+) bytes received\n"))) << result.output;
    EXPECT_NE(result.output.find("receipt: Message to 127.0.0.1 delivered on 12/3/2024, 10:15 AM (" + count[1].str() +
                                 " bytes)\n"),
              std::string::npos)
        << result.output;
    ASSERT_TRUE(sink->WaitForCount(1));
    auto delivered = sink->All();
    EXPECT_EQ(delivered[0].message.text, "Message from A to BOB.");
    EXPECT_EQ(delivered[0].priority, kNormalPriority);
    // The sender names its own reply port, which is not the receiver's.
    EXPECT_TRUE(std::regex_match(delivered[0].message.sender, std::regex("TESTPC/127\\.0\\.0\\.1:\\d+u")))
        << delivered[0].message.sender;
}

TEST_F(TavikSendTest, UdpReceiptGoesToTheChosenReplyPort) {
    // A free port: bind one, note it, let it go.
    std::uint16_t replyPort = 0;
    {
        testing::Fd probe = testing::UdpPeer();
        replyPort = testing::PortOf(probe.get());
    }
    CommandResult result =
        RunCommand(program + " --udp 127.0.0.1:" + std::to_string(udpPort) + " --from TESTPC --reply-port " +
                   std::to_string(replyPort) + " --timeout 15 'two words' and more");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("receipt: Message to 127.0.0.1"), std::string::npos) << result.output;
    ASSERT_TRUE(sink->WaitForCount(1));
    auto delivered = sink->All();
    EXPECT_EQ(delivered[0].message.text, "two words and more");
    EXPECT_EQ(delivered[0].message.sender, "TESTPC/127.0.0.1:" + std::to_string(replyPort) + "u");
}

TEST_F(TavikSendTest, TcpMessageFromStandardInputWithHighPriority) {
    CommandResult result =
        RunCommand("printf 'line 1\\nline 2\\n' | " + program + " --tcp 127.0.0.1:" + std::to_string(tcpPort) +
                   " --from TESTPC --high --timeout 15 -");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    ASSERT_TRUE(sink->WaitForCount(1));
    auto delivered = sink->All();
    EXPECT_EQ(delivered[0].message.text, "line 1\r\nline 2");
    EXPECT_EQ(delivered[0].priority, kHighPriority);
    // The sender names the receiver's own port, so no port is shown.
    EXPECT_EQ(delivered[0].message.sender, "TESTPC/127.0.0.1");
    std::string framed = "/$0line 1\r\nline 2/$1TESTPC/$2/$31/$4/$5127.0.0.1:" + std::to_string(tcpPort) + "/$6/$7";
    EXPECT_NE(result.output.find("reply: " + std::to_string(framed.size()) + " bytes received\n"), std::string::npos)
        << result.output;
}

TEST_F(TavikSendTest, TextAndNameGoInTheReceiversCodePage) {
    const std::string udpTo = " --udp 127.0.0.1:" + std::to_string(udpPort) + " --timeout 15 --from Jörg ";
    const std::string tcpTo = " --tcp 127.0.0.1:" + std::to_string(tcpPort) + " --timeout 15 --from Jörg ";
    struct Sent {
        std::string command;
        std::string text;
        std::string name;
    };
    // A UTF-8 locale, the C locale (whose text is read as UTF-8 when it is), --codepage and --raw.
    const std::vector<Sent> sent = {
        {"LC_ALL=C.UTF-8 " + program + udpTo + "'Grüße, 20 €'", "Gr\xFC\xDF\x65, 20 \x80", "J\xF6rg"},
        {"LC_ALL=C " + program + tcpTo + "'Grüße, 20 €'", "Gr\xFC\xDF\x65, 20 \x80", "J\xF6rg"},
        {"LC_ALL=C.UTF-8 " + program + tcpTo + "--codepage 1250 'Łódź, 20 €'", "\xA3\xF3\x64\x9F, 20 \x80", "J\xF6rg"},
        {"LC_ALL=C.UTF-8 " + program + udpTo + "--raw 'Grüße, 20 €'", "Grüße, 20 €", "Jörg"},
    };
    for (std::size_t i = 0; i < sent.size(); ++i) {
        CommandResult result = RunCommand(sent[i].command);
        EXPECT_EQ(result.exitCode, 0) << sent[i].command << "\n" << result.output;
        EXPECT_EQ(result.output.find("tavik-send:"), std::string::npos) << sent[i].command << "\n" << result.output;
        ASSERT_TRUE(sink->WaitForCount(i + 1)) << sent[i].command;
        const IncomingMessage message = sink->All()[i].message;
        EXPECT_EQ(message.text, sent[i].text) << sent[i].command;
        EXPECT_EQ(message.sender.substr(0, message.sender.find('/')), sent[i].name) << sent[i].command;
    }
}

TEST_F(TavikSendTest, RefusedUdpMessageStillGetsItsCountButNoReceipt) {
    ChangeSettings([](Settings& s) { s.DontRecvMess = "127.0.0.1"; });
    CommandResult result =
        RunCommand(program + " --udp 127.0.0.1:" + std::to_string(udpPort) + " --from TESTPC --timeout 2 hello");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("reply: "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("no receipt within 2 s"), std::string::npos) << result.output;
    EXPECT_TRUE(sink->All().empty());
}

TEST(TavikSend, NoAnswerIsAFailure) {
    std::string program = SenderProgram().string();
    ASSERT_TRUE(std::filesystem::exists(program));
    testing::Fd silent = testing::UdpPeer();  // takes datagrams and never answers
    CommandResult result = RunCommand(program + " --udp 127.0.0.1:" + std::to_string(testing::PortOf(silent.get())) +
                                      " --timeout 1 hello");
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find("no reply within 1 s"), std::string::npos) << result.output;
    // It did send: the silent peer holds the framed datagram.
    auto datagram = testing::ReceiveDatagram(silent.get(), 1s);
    ASSERT_TRUE(datagram);
    EXPECT_EQ(datagram->rfind("MESSAGE\0#0hello\0#1"s, 0), 0u);
}

TEST(TavikSend, CommandLineMistakesExitWithTwo) {
    std::string program = SenderProgram().string();
    ASSERT_TRUE(std::filesystem::exists(program));
    for (const char* arguments :
         {"", "hello", "--udp 127.0.0.1", "--udp 127.0.0.1:0 x", "--udp 127.0.0.1:70000 x", "--tcp :7777 x",
          "--udp a --tcp b x", "--udp a --timeout 0 x", "--udp a --reply-port x y", "--bogus x", "--udp",
          "--messenger a x", "--udp a --codepage 70000 x", "--udp a --raw --codepage 850 x"}) {
        CommandResult result = RunCommand(program + " " + arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments << "\n" << result.output;
        EXPECT_NE(result.output.find("usage:"), std::string::npos) << arguments;
    }
    CommandResult unknown = RunCommand(program + " --udp 127.0.0.1 --codepage 12345 x");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.output, "tavik-send: code page 12345 cannot be used on this system\n");
    CommandResult help = RunCommand(program + " --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("--reply-port"), std::string::npos);
}

TEST(TavikSend, MessengerMessagesOverANetbiosSession) {
    std::string program = SenderProgram().string();
    auto sink = std::make_shared<CollectingSink>();
    netbios::SessionCarrier carrier({.port = 0,
                                     .names = {"RECEIVER"},
                                     .delivery = {.sink = sink, .headingFormat = "%s>%s"},
                                     .stopCheckInterval = 50ms});
    carrier.Start();
    std::uint16_t port = carrier.WaitListening(20s).value_or(0);
    std::string to = program + " --messenger 127.0.0.1:" + std::to_string(port) + " --from TESTPC --timeout 15 --to ";

    CommandResult blocks = RunCommand("printf '%0200d\\nline 2\\n' 0 | " + to + "receiver -");
    EXPECT_EQ(blocks.exitCode, 0) << blocks.output;
    EXPECT_EQ(blocks.output,
              "session: accepted\nstart block: answered\ntext block 1: answered\ntext block 2: answered\n"
              "end block: answered\n");
    ASSERT_TRUE(sink->WaitForCount(1));
    CommandResult single = RunCommand(to + "RECEIVER --single-block hi");
    EXPECT_EQ(single.output, "session: accepted\nsingle block: answered\n");
    // The OEM code page has no euro sign: tavik-send says so, and the message still goes.
    CommandResult oem = RunCommand("LC_ALL=C.UTF-8 " + to + "RECEIVER 'Grüße, 20 €'");
    EXPECT_EQ(oem.exitCode, 0) << oem.output;
    EXPECT_EQ(oem.output,
              "tavik-send: code page 850 has no \"€\" (U+20AC): sent as \"?\"\n"
              "session: accepted\nstart block: answered\ntext block 1: answered\nend block: answered\n");
    CommandResult refused = RunCommand(to + "NOBODY hi");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.output, "session: refused (error 0x82, called name not present)\n");
    ASSERT_TRUE(sink->WaitForCount(3));
    auto delivered = sink->All();
    ASSERT_EQ(delivered.size(), 3u);
    EXPECT_EQ(delivered[0].message.text, "TESTPC>receiver.\r\n\r\n" + std::string(200, '0') + "\r\nline 2");
    EXPECT_EQ(delivered[1].message.text, "TESTPC>RECEIVER.\r\n\r\nhi");
    EXPECT_EQ(delivered[2].message.text, "TESTPC>RECEIVER.\r\n\r\nGr\x81\xE1\x65, 20 ?");
    EXPECT_TRUE(carrier.Stop());
}

}  // namespace
}  // namespace tavik::net
