#include "core/reception/messenger_datagram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavik {
namespace {

using namespace std::string_literals;

// Parses a heap copy of exactly the given bytes, so a read past the end shows under ASan.
std::optional<MessengerDatagram> Parse(const std::string& bytes) {
    std::vector<unsigned char> exact(bytes.begin(), bytes.end());
    return ParseMessengerDatagram(exact.data(), exact.size());
}

TEST(ParseMessengerDatagram, SixBytesOrFewerAreDropped) {
    EXPECT_FALSE(Parse("a\0b\0cd"s));
    EXPECT_FALSE(Parse("a\0b\0c"s));
    EXPECT_FALSE(Parse(""s));
    EXPECT_FALSE(ParseMessengerDatagram(nullptr, 0));

    auto taken = Parse("a\0b\0cde"s);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->sender, "a");
    EXPECT_EQ(taken->recipient, "b");
    EXPECT_EQ(taken->text, "cde");
}

TEST(ParseMessengerDatagram, SenderAndRecipientNeedTheirNuls) {
    EXPECT_FALSE(Parse("PC1BOBhello"s));  // no NUL at all
    EXPECT_FALSE(Parse("PC1\0BOB"s));     // recipient runs off the end
    EXPECT_FALSE(Parse("PC1\0BOBhello"s));
}

TEST(ParseMessengerDatagram, TextRunsToTheEndOfTheData) {
    auto message = Parse("PC1\0BOB\0hi"s);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->sender, "PC1");
    EXPECT_EQ(message->recipient, "BOB");
    EXPECT_EQ(message->text, "hi");  // exactly two bytes, nothing after them

    auto empty = Parse("PC1\0BOB\0"s);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->recipient, "BOB");
    EXPECT_EQ(empty->text, "");
}

TEST(ParseMessengerDatagram, NulEndsTheTextEarly) {
    auto message = Parse("PC1\0BOB\0hi\0there"s);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "hi");
}

TEST(ParseMessengerDatagram, KeepsSeparatorsAndLeavesEmptyNamesToDelivery) {
    auto lines = Parse("PC1\0BOB\0line1\x14line2"s);
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->text, "line1\x14line2");

    // Empty names are well-formed datagrams; delivery refuses them.
    auto noSender = Parse("\0BOB\0hello"s);
    ASSERT_TRUE(noSender);
    EXPECT_EQ(noSender->sender, "");
    EXPECT_EQ(noSender->recipient, "BOB");
    auto noRecipient = Parse("PC1\0\0hello"s);
    ASSERT_TRUE(noRecipient);
    EXPECT_EQ(noRecipient->recipient, "");
    EXPECT_EQ(noRecipient->text, "hello");
}

TEST(BuildMessengerDatagram, JoinsLinesWithTheSeparator) {
    EXPECT_EQ(BuildMessengerDatagram("PC1", "BOB", "hi"), "PC1\0BOB\0hi"s);
    EXPECT_EQ(BuildMessengerDatagram("PC1", "BOB", "a\r\nb\nc"),
              "PC1\0BOB\0a\x14"
              "b\x14"
              "c"s);
    EXPECT_EQ(BuildMessengerDatagram("PC1", "BOB", "a\rb\r\n"), "PC1\0BOB\0a\rb\x14"s);
    EXPECT_EQ(BuildMessengerDatagram("PC1", "BOB", ""), "PC1\0BOB\0"s);
}

TEST(BuildMessengerDatagram, ParserReadsBackWhatWasBuilt) {
    const std::string text = "first line\r\nsecond\n\xE4 third";
    auto parsed = Parse(BuildMessengerDatagram("WORKSTATION7", "ALICE", text));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->sender, "WORKSTATION7");
    EXPECT_EQ(parsed->recipient, "ALICE");
    EXPECT_EQ(parsed->text, "first line\x14second\x14\xE4 third");
}

}  // namespace
}  // namespace tavik
