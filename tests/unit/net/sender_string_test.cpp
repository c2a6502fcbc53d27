#include "core/net/sender_string.h"

#include <gtest/gtest.h>

namespace tavik::net {
namespace {

TEST(ReplyPort, TakesTheDigitsAfterTheColon) {
    EXPECT_EQ(ReplyPort("10.0.0.5:900u", 7777), 900u);
    EXPECT_EQ(ReplyPort("10.0.0.5:65535", 7777), 65535u);
    EXPECT_EQ(ReplyPort("host:1x:2", 7777), 1u) << "anything after the digits is ignored";
    EXPECT_EQ(ReplyPort(":00042", 7777), 42u);
}

TEST(ReplyPort, FallsBackToTheOwnPort) {
    EXPECT_EQ(ReplyPort("", 7777), 7777u);
    EXPECT_EQ(ReplyPort("10.0.0.5", 7778), 7778u) << "no colon";
    EXPECT_EQ(ReplyPort("10.0.0.5:", 7778), 7778u) << "no digits";
    EXPECT_EQ(ReplyPort("10.0.0.5:u", 7778), 7778u);
    EXPECT_EQ(ReplyPort("10.0.0.5:0", 7778), 7778u) << "below 1";
    EXPECT_EQ(ReplyPort("10.0.0.5:65536", 7778), 7778u) << "above 65535";
    EXPECT_EQ(ReplyPort("10.0.0.5:99999999999999999999", 7778), 7778u) << "no overflow wraps into range";
    EXPECT_EQ(ReplyPort("10.0.0.5:4294967297", 7778), 7778u);
}

TEST(SenderString, TcpShowsThePortOnlyWhenItIsNotOurs) {
    EXPECT_EQ(SenderString("PC1", "10.0.0.6", 7777, 7777, Transport::Tcp), "PC1/10.0.0.6");
    EXPECT_EQ(SenderString("PC1", "10.0.0.6", 900, 7777, Transport::Tcp), "PC1/10.0.0.6:900");
}

TEST(SenderString, UdpAlwaysEndsInU) {
    EXPECT_EQ(SenderString("PC1", "10.0.0.5", 7778, 7778, Transport::Udp), "PC1/10.0.0.5:u");
    EXPECT_EQ(SenderString("PC1", "10.0.0.5", 900, 7778, Transport::Udp), "PC1/10.0.0.5:900u");
}

TEST(SenderString, AnEmptyNameStartsWithTheAddress) {
    EXPECT_EQ(SenderString("", "10.0.0.5", 7778, 7778, Transport::Udp), "10.0.0.5:u");
    EXPECT_EQ(SenderString("", "10.0.0.5", 900, 7778, Transport::Udp), "10.0.0.5:900u");
    EXPECT_EQ(SenderString("", "10.0.0.6", 7777, 7777, Transport::Tcp), "10.0.0.6");
    EXPECT_EQ(SenderString("", "10.0.0.6", 1, 7777, Transport::Tcp), "10.0.0.6:1");
}

}  // namespace
}  // namespace tavik::net
