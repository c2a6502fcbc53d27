#include "core/net/udp_framing.h"

#include <gtest/gtest.h>

#include <string>

namespace tavik::net {
namespace {

using namespace std::string_literals;

// A datagram as a sender builds it, with each field given.
std::string Datagram(const std::string& text, const std::string& name, const std::string& flag,
                     const std::string& reply) {
    return "MSG\0#0"s + text + "\0#1"s + name + "\0#2\0#3"s + flag + "\0#4\0#5"s + reply + "\0#6\0"s;
}

TEST(UdpFraming, TakesEveryFieldOfAFullDatagram) {
    auto fields = ParseUdpFraming(Datagram("Hello", "PC1", "0", "10.0.0.5:7778u"));
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->text, "Hello");
    EXPECT_EQ(fields->name, "PC1");
    EXPECT_EQ(fields->flag, '0');
    EXPECT_EQ(fields->replyAddress, "10.0.0.5:7778u");
}

TEST(UdpFraming, RefusesWithoutAnyOfTheSevenMarkers) {
    std::string full = Datagram("Hello", "PC1", "1", "a:1u");
    ASSERT_TRUE(ParseUdpFraming(full));
    for (char digit = '0'; digit <= '6'; ++digit) {
        std::string marker = "\0#"s + digit;
        std::string broken = full;
        broken.replace(broken.find(marker), 3, "\0#x"s);
        EXPECT_FALSE(ParseUdpFraming(broken)) << "without marker " << digit;
    }
}

TEST(UdpFraming, MarkersMustComeInOrder) {
    // #1 before #0: the search for #1 starts after #0 and finds none.
    std::string swapped = "\0#1PC\0#0Hi\0#2\0#30\0#4\0#5\0#6"s;
    EXPECT_FALSE(ParseUdpFraming(swapped));
}

TEST(UdpFraming, TheSixthMarkerMayEndTheDatagram) {
    std::string datagram = Datagram("Hi", "PC", "1", "x:5u");
    datagram.pop_back();  // drop the NUL after #6
    auto fields = ParseUdpFraming(datagram);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->replyAddress, "x:5u");
}

TEST(UdpFraming, ACutDatagramIsRefused) {
    EXPECT_FALSE(ParseUdpFraming("\0#0"s));
    EXPECT_FALSE(ParseUdpFraming("\0#0a\0#1b\0#2\0#30\0#4\0#5"s));
    // Only the given length is searched: a marker cut at the end is no marker.
    std::string datagram = Datagram("Hi", "PC", "1", "x:5u");
    EXPECT_FALSE(ParseUdpFraming(std::string_view(datagram).substr(0, datagram.find("\0#6"s) + 2)));
}

TEST(UdpFraming, EmptyFieldsAndAnEmptyFlag) {
    auto fields = ParseUdpFraming("\0#0\0#1\0#2\0#3\0#4\0#5\0#6"s);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->text, "");
    EXPECT_EQ(fields->name, "");
    EXPECT_EQ(fields->flag, '\0');
    EXPECT_EQ(fields->replyAddress, "");
}

TEST(UdpFraming, FieldsEndAtTheirFirstNul) {
    // A NUL without "#" inside the text does not end the field's span, but the text handed
    // on stops there, as a C string would.
    auto fields = ParseUdpFraming(Datagram("Hi\0there"s, "PC\0X"s, "1", "a:1u"));
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->text, "Hi");
    EXPECT_EQ(fields->name, "PC");
}

TEST(UdpFraming, AnythingBeforeTheFirstMarkerIsIgnored) {
    auto fields = ParseUdpFraming("\x01\x02 whatever #0 \0#0T\0#1N\0#2\0#3\0#4\0#5\0#6"s);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->text, "T");
    EXPECT_EQ(fields->name, "N");
}

}  // namespace
}  // namespace tavik::net
