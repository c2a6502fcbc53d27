#include "core/net/network_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/net/network_receiver.h"
#include "net_test_support.h"

namespace tavik::net {
namespace {

using namespace std::string_literals;
using testing::CollectingSink;
using testing::FixedClock;
using testing::RecordingReceiptSender;

std::string Datagram(const std::string& text, const std::string& name, const std::string& flag,
                     const std::string& reply) {
    return "MSG\0#0"s + text + "\0#1"s + name + "\0#2\0#3"s + flag + "\0#4\0#5"s + reply + "\0#6\0"s;
}

class NetworkMessageTest : public ::testing::Test {
protected:
    NetworkMessageTest() {
        settings.TCPPort = 7777;
        settings.UDPPort = 7778;
    }

    bool Handle(const std::string& data, const std::string& peer, Transport transport) {
        NetworkContext context{settings, sink, "RECEIVER", "10.0.0.1", receiptFormat, clock, receipts};
        return HandleNetworkMessage(data.c_str(), data.size(), peer, transport, context);
    }

    Settings settings;
    std::string receiptFormat;
    CollectingSink sink;
    FixedClock clock;
    std::shared_ptr<RecordingReceiptSender> receipts = std::make_shared<RecordingReceiptSender>();
};

TEST_F(NetworkMessageTest, UdpMessageIsDeliveredAndAnsweredWithAReceipt) {
    std::string datagram = Datagram("Hello", "PC1", "0", "10.0.0.5:7778u");
    EXPECT_TRUE(Handle(datagram, "10.0.0.5", Transport::Udp));
    auto delivered = sink.All();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].priority, kNormalPriority);
    EXPECT_EQ(delivered[0].message.text, "Hello");
    EXPECT_EQ(delivered[0].message.sender, "PC1/10.0.0.5:u");
    auto sent = receipts->Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].peerAddress, "10.0.0.5");
    EXPECT_EQ(sent[0].port, 7778u);
    EXPECT_EQ(sent[0].datagram, "NOTIFY_MESSAGE\0#0Message to 10.0.0.5 delivered on 12/3/2024, 10:15 AM ("s +
                                    std::to_string(datagram.size()) +
                                    " bytes)\0#1RECEIVER\0#2\0#30\0#4\0#510.0.0.1:7778u\0#6\0#7\0#8\0#9\0"s);
}

TEST_F(NetworkMessageTest, TheReceiptWaitsUntilTheMessageIsStored) {
    struct HoldingSink final : MessageSink {
        void Deliver(std::uint32_t, const IncomingMessage& message) override { held.push_back(message); }
        std::vector<IncomingMessage> held;
    } holding;
    NetworkContext context{settings, holding, "RECEIVER", "10.0.0.1", receiptFormat, clock, receipts};
    std::string datagram = Datagram("Hello", "PC1", "0", "10.0.0.5:7778u");
    ASSERT_TRUE(HandleNetworkMessage(datagram.c_str(), datagram.size(), "10.0.0.5", Transport::Udp, context));
    EXPECT_TRUE(receipts->Sent().empty()) << "taken is not stored";
    ASSERT_EQ(holding.held.size(), 1u);
    ASSERT_TRUE(holding.held[0].onStored);
    holding.held[0].onStored();
    EXPECT_EQ(receipts->Sent().size(), 1u);
}

TEST_F(NetworkMessageTest, UdpReplyPortDecidesReceiptTargetAndSender) {
    EXPECT_TRUE(Handle(Datagram("Hello", "PC1", "0", "10.0.0.5:900u"), "10.0.0.5", Transport::Udp));
    EXPECT_TRUE(Handle(Datagram("Hello", "", "0", "10.0.0.5:7778u"), "10.0.0.5", Transport::Udp));
    // The address part of field 5 is not used: the receipt goes where the message came from.
    EXPECT_TRUE(Handle(Datagram("Hello", "PC2", "0", "1.2.3.4:70000u"), "10.0.0.7", Transport::Udp));
    auto delivered = sink.All();
    ASSERT_EQ(delivered.size(), 3u);
    EXPECT_EQ(delivered[0].message.sender, "PC1/10.0.0.5:900u");
    EXPECT_EQ(delivered[1].message.sender, "10.0.0.5:u");
    EXPECT_EQ(delivered[2].message.sender, "PC2/10.0.0.7:u");
    auto sent = receipts->Sent();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].port, 900u);
    EXPECT_EQ(sent[1].port, 7778u);
    EXPECT_EQ(sent[2].peerAddress, "10.0.0.7");
    EXPECT_EQ(sent[2].port, 7778u);
}

TEST_F(NetworkMessageTest, ReceiptNamesTheRecipientAndUsesTheConfiguredText) {
    receiptFormat = "%s|%s|%d";
    std::string datagram = Datagram("Message from A to BOB.\r\ntext", "PC1", "0", "");
    EXPECT_TRUE(Handle(datagram, "10.0.0.5", Transport::Udp));
    auto sent = receipts->Sent();
    ASSERT_EQ(sent.size(), 1u);
    std::string expected = "\0#0BOB|12/3/2024, 10:15 AM|"s + std::to_string(datagram.size()) + "\0#1"s;
    EXPECT_NE(sent[0].datagram.find(expected), std::string::npos);
}

TEST_F(NetworkMessageTest, TcpMessageIsDeliveredWithoutReceipt) {
    EXPECT_TRUE(Handle("x/$0Hi/$1PC1/$2/$3 /$4/$5/$6/$7", "10.0.0.6", Transport::Tcp));
    EXPECT_TRUE(Handle("/$0Hi/$1PC1/$2/$30/$4/$510.0.0.6:7778/$6/$7", "10.0.0.6", Transport::Tcp));
    auto delivered = sink.All();
    ASSERT_EQ(delivered.size(), 2u);
    EXPECT_EQ(delivered[0].message.text, "Hi");
    EXPECT_EQ(delivered[0].message.sender, "PC1/10.0.0.6");
    EXPECT_EQ(delivered[0].priority, kNormalPriority);
    // TCP compares with the TCP port: the UDP port number is "another" port here.
    EXPECT_EQ(delivered[1].message.sender, "PC1/10.0.0.6:7778");
    EXPECT_TRUE(receipts->Sent().empty());
}

TEST_F(NetworkMessageTest, TcpMessageEndsAtItsFirstNul) {
    EXPECT_TRUE(Handle("/$0Hi/$1PC/$2/$7\0/$0Other/$1X/$2/$7"s, "10.0.0.6", Transport::Tcp));
    EXPECT_FALSE(Handle("/$0Hi/$1PC/$2\0/$7"s, "10.0.0.6", Transport::Tcp));
    auto delivered = sink.All();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].message.text, "Hi");
}

TEST_F(NetworkMessageTest, BadFramingIsDroppedWithoutReceipt) {
    std::string noSix = Datagram("Hello", "PC1", "0", "10.0.0.5:7778u");
    noSix.erase(noSix.find("\0#6"s));
    EXPECT_FALSE(Handle(noSix, "10.0.0.5", Transport::Udp));
    EXPECT_FALSE(Handle("/$0Hi/$1PC1/$2/$30/$4/$5/$6", "10.0.0.6", Transport::Tcp));
    // Each transport reads only its own framing.
    EXPECT_FALSE(Handle("/$0Hi/$1PC1/$2/$30/$4/$5/$6/$7", "10.0.0.6", Transport::Udp));
    EXPECT_FALSE(Handle(Datagram("Hello", "PC1", "0", ""), "10.0.0.5", Transport::Tcp));
    EXPECT_TRUE(sink.All().empty());
    EXPECT_TRUE(receipts->Sent().empty());
}

TEST_F(NetworkMessageTest, ReceiptsFromOtherReceiversAreIgnored) {
    // A receipt frames like a message; answering it would start an endless exchange.
    std::string receipt =
        "NOTIFY_MESSAGE\0#0Message to X delivered\0#1PC\0#2\0#30\0#4\0#510.0.0.5:7778u\0#6\0#7\0#8\0#9\0"s;
    EXPECT_FALSE(Handle(receipt, "10.0.0.5", Transport::Udp));
    EXPECT_FALSE(Handle("NOTIFY_MESSAGE/$0Hi/$1PC1/$2/$30/$4/$5/$6/$7", "10.0.0.6", Transport::Tcp));
    EXPECT_TRUE(sink.All().empty());
    EXPECT_TRUE(receipts->Sent().empty());
    // Only the exact type word at the very start counts.
    EXPECT_TRUE(Handle("NOTIFY_MESSAG\0#0x\0#1\0#2\0#3\0#4\0#5\0#6"s, "10.0.0.5", Transport::Udp));
}

TEST_F(NetworkMessageTest, AddressFiltersComeFirstAndTheDenyListWins) {
    std::string datagram = Datagram("Hello", "PC1", "0", "");
    settings.AllMess = "10.0.0.*";
    EXPECT_FALSE(Handle(datagram, "192.168.0.5", Transport::Udp));
    EXPECT_TRUE(Handle(datagram, "10.0.0.5", Transport::Udp));
    settings.DontRecvMess = "x;10.0.0.5";
    EXPECT_FALSE(Handle(datagram, "10.0.0.5", Transport::Udp));
    EXPECT_FALSE(Handle("/$0Hi/$1PC1/$2/$7", "10.0.0.5", Transport::Tcp));
    EXPECT_TRUE(Handle("/$0Hi/$1PC1/$2/$7", "10.0.0.6", Transport::Tcp));
    // Names are not addresses: the name in the message is never matched.
    settings.DontRecvMess = "PC1";
    EXPECT_TRUE(Handle(datagram, "10.0.0.5", Transport::Udp));
    EXPECT_EQ(sink.All().size(), 3u);
    EXPECT_EQ(receipts->Sent().size(), 2u) << "a refused message gets no receipt";
}

TEST_F(NetworkMessageTest, HighPriorityNeedsAnAddressOnTheList) {
    settings.HigthPriorMess = "10.0.0.9";
    EXPECT_FALSE(Handle(Datagram("Urgent", "PC1", "1", ""), "10.0.0.5", Transport::Udp));
    EXPECT_FALSE(Handle("/$0Urgent/$1PC1/$2/$31/$4/$5/$6/$7", "10.0.0.5", Transport::Tcp));
    EXPECT_TRUE(receipts->Sent().empty()) << "refused before the receipt";
    EXPECT_TRUE(Handle(Datagram("Urgent", "PC1", "1", ""), "10.0.0.9", Transport::Udp));
    EXPECT_TRUE(Handle("/$0Urgent/$1PC1/$2/$31/$4/$5/$6/$7", "10.0.0.9", Transport::Tcp));
    // Any other flag byte is a normal message from anyone.
    EXPECT_TRUE(Handle(Datagram("Plain", "PC1", "2", ""), "10.0.0.5", Transport::Udp));
    auto delivered = sink.All();
    ASSERT_EQ(delivered.size(), 3u);
    EXPECT_EQ(delivered[0].priority, kHighPriority);
    EXPECT_EQ(delivered[1].priority, kHighPriority);
    EXPECT_EQ(delivered[2].priority, kNormalPriority);
}

TEST_F(NetworkMessageTest, DefaultListsTakeEveryDottedAddress) {
    // The default high-priority list holds every dotted address, so anyone may ask for it.
    EXPECT_TRUE(Handle(Datagram("Urgent", "PC1", "1", ""), "172.16.5.4", Transport::Udp));
    auto delivered = sink.All();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].priority, kHighPriority);
}

TEST(NetworkReceiver, LooksThisHostUpOnceAtTheFirstUdpMessageAndNotBefore) {
    int lookups = 0;
    auto sink = std::make_shared<CollectingSink>();
    auto receipts = std::make_shared<RecordingReceiptSender>();
    ReceiverEnvironment environment;
    environment.settings = [] { return std::make_shared<const Settings>(); };
    environment.sink = sink;
    environment.lookUpLocalHost = [&lookups] {
        ++lookups;
        return LocalHost{"RECEIVER", "10.0.0.1"};
    };
    environment.clock = std::make_shared<FixedClock>();
    environment.receiptSender = receipts;
    NetworkHandler handler = MakeNetworkHandler(environment);
    EXPECT_EQ(lookups, 0) << "looked up by whoever starts the listeners";

    const std::string tcp = "/$0hi/$1PC/$2/$7";
    handler(tcp.c_str(), tcp.size(), "10.0.0.5", Transport::Tcp);
    EXPECT_EQ(lookups, 0) << "a TCP message gets no receipt";
    const std::string udp = Datagram("Hello", "PC1", "0", "10.0.0.5:7777u");
    handler(udp.c_str(), udp.size(), "10.0.0.5", Transport::Udp);
    handler(udp.c_str(), udp.size(), "10.0.0.5", Transport::Udp);
    EXPECT_EQ(lookups, 1);
    ASSERT_EQ(receipts->Sent().size(), 2u);
    for (const auto& receipt : receipts->Sent()) {
        EXPECT_NE(receipt.datagram.find("#1RECEIVER\0"s), std::string::npos);
        EXPECT_NE(receipt.datagram.find("#510.0.0.1:7777u\0"s), std::string::npos);
    }
}

}  // namespace
}  // namespace tavik::net
