#include <gtest/gtest.h>

#include <string>

#include "core/net/address_text.h"
#include "core/net/outgoing_message.h"
#include "core/net/tcp_framing.h"
#include "core/net/udp_framing.h"

namespace tavik::net {
namespace {

using namespace std::string_literals;

TEST(OutgoingMessage, UdpFormIsTheDocumentedBytes) {
    OutgoingMessage message{"Hello", "PC1", false, "10.0.0.5:7778u"};
    EXPECT_EQ(BuildUdpMessage(message), "MESSAGE\0#0Hello\0#1PC1\0#2\0#30\0#4\0#510.0.0.5:7778u\0#6\0"s);
    message.highPriority = true;
    EXPECT_EQ(BuildUdpMessage(message, "MSG"), "MSG\0#0Hello\0#1PC1\0#2\0#31\0#4\0#510.0.0.5:7778u\0#6\0"s);
}

TEST(OutgoingMessage, TcpFormIsTheDocumentedText) {
    OutgoingMessage message{"Hi", "PC1", true, "10.0.0.6:7777"};
    EXPECT_EQ(BuildTcpMessage(message), "/$0Hi/$1PC1/$2/$31/$4/$510.0.0.6:7777/$6/$7");
}

TEST(OutgoingMessage, BothFormsReadBackAsWritten) {
    OutgoingMessage message{"line 1\r\nline /$1 two", "PC 9", true, "10.1.2.3:4000u"};
    auto udp = ParseUdpFraming(BuildUdpMessage(message));
    ASSERT_TRUE(udp);
    EXPECT_EQ(udp->text, message.text);
    EXPECT_EQ(udp->name, message.name);
    EXPECT_EQ(udp->flag, '1');
    EXPECT_EQ(udp->replyAddress, message.replyAddress);
    auto tcp = ParseTcpFraming(BuildTcpMessage(message));
    ASSERT_TRUE(tcp);
    EXPECT_EQ(tcp->text, message.text);
    EXPECT_EQ(tcp->name, message.name);
    EXPECT_EQ(tcp->flag, '1');
    EXPECT_EQ(tcp->replyAddress, message.replyAddress);
}

TEST(OutgoingMessage, ATextWithANulIsCutThere) {
    OutgoingMessage message{"a\0b"s, "PC", false, ""};
    auto udp = ParseUdpFraming(BuildUdpMessage(message));
    ASSERT_TRUE(udp);
    EXPECT_EQ(udp->text, "a");
    EXPECT_EQ(BuildTcpMessage(message), "/$0a/$1PC/$2/$30/$4/$5/$6/$7");
}

TEST(AddressText, WritesAndReadsDottedQuads) {
    EXPECT_EQ(DottedAddress(0x7F000001), "127.0.0.1");
    EXPECT_EQ(DottedAddress(0xC0A80114), "192.168.1.20");
    EXPECT_EQ(DottedAddress(0xFFFFFFFF), "255.255.255.255");
    EXPECT_EQ(DottedAddress(0), "0.0.0.0");
    EXPECT_EQ(ParseDottedAddress("10.0.0.5"), 0x0A000005u);
    EXPECT_EQ(ParseDottedAddress("255.255.255.255"), 0xFFFFFFFFu);
}

TEST(AddressText, RefusesAnythingButFourSmallNumbers) {
    for (const char* text : {"", "10.0.0", "10.0.0.5.", "10.0.0.256", "10..0.5", "a.b.c.d", "10.0.0.5 ", " 10.0.0.5",
                             "1000.0.0.1", "10.0.0.-1", "10.0.0.0005", "host"}) {
        EXPECT_FALSE(ParseDottedAddress(text)) << text;
    }
}

}  // namespace
}  // namespace tavik::net
