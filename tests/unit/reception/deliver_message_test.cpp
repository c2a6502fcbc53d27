#include "core/reception/deliver_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavik {
namespace {

using namespace std::string_literals;

struct Handed {
    std::uint32_t priority;
    IncomingMessage message;
};

class CollectingSink : public MessageSink {
public:
    void Deliver(std::uint32_t priority, const IncomingMessage& message) override {
        handed.push_back({priority, message});
    }
    std::vector<Handed> handed;
};

// A small slice of OEM 437 to ANSI 1252: 0x8E is "Ä" (0xC4), and 0x14 is the pilcrow (0xB6),
// which is how a line separator would look if it were converted before being expanded.
class Oem437Sample : public CodePageConverter {
public:
    std::string ConvertOemToAnsi(std::string_view oem) const override {
        std::string out(oem);
        for (char& c : out) {
            if (c == '\x8E')
                c = '\xC4';
            else if (c == '\x14')
                c = '\xB6';
        }
        return out;
    }
};

class DeliverMessageTest : public ::testing::Test {
protected:
    bool Deliver(std::string_view sender, std::string_view recipient, std::string_view text,
                 std::string_view heading = {}) {
        return DeliverMessage(sender, recipient, text, settings, heading, codePage, sink);
    }
    Settings settings;
    Oem437Sample codePage;
    CollectingSink sink;
};

TEST_F(DeliverMessageTest, BuildsHeadingBlankLineAndBody) {
    ASSERT_TRUE(Deliver("PC1", "BOB", "hi"));
    ASSERT_EQ(sink.handed.size(), 1u);
    EXPECT_EQ(sink.handed[0].priority, kNormalPriority);
    EXPECT_EQ(sink.handed[0].message.text, "Message from PC1 to BOB.\r\n\r\nhi");
    EXPECT_EQ(sink.handed[0].message.sender, "PC1");
}

TEST_F(DeliverMessageTest, UsesTheResourceHeadingAndCutsOnlyItsFormatTo95Characters) {
    ASSERT_TRUE(Deliver("PC1", "BOB", "hi", "Nachricht von %s an %s"));
    EXPECT_EQ(sink.handed.back().message.text, "Nachricht von PC1 an BOB.\r\n\r\nhi");

    // A long sender keeps the recipient, so the intake can still re-word the heading.
    const std::string longSender(120, 'S');
    ASSERT_TRUE(Deliver(longSender, "BOB", "body"));
    EXPECT_EQ(sink.handed.back().message.text, "Message from " + longSender + " to BOB.\r\n\r\nbody");

    const std::string longFormat = "%s and %s" + std::string(100, '!');
    ASSERT_TRUE(Deliver("PC1", "BOB", "x", longFormat));
    EXPECT_EQ(sink.handed.back().message.text, "PC1 and BOB" + std::string(95 - 9, '!') + ".\r\n\r\nx");
}

TEST_F(DeliverMessageTest, LineSeparatorsBecomeCrLfBeforeConversion) {
    ASSERT_TRUE(Deliver("PC1", "BOB", "line1\x14line2\x14\x14"));
    EXPECT_EQ(sink.handed.back().message.text, "Message from PC1 to BOB.\r\n\r\nline1\r\nline2\r\n\r\n");
}

TEST_F(DeliverMessageTest, ConvertsSenderRecipientAndTextFromOem) {
    ASSERT_TRUE(Deliver("\x8Enne",
                        "\x8E"
                        "BC",
                        "gr\x8E\xDF"));
    const IncomingMessage& message = sink.handed.back().message;
    EXPECT_EQ(message.sender, "\xC4nne");
    EXPECT_EQ(message.text,
              "Message from \xC4nne to \xC4"
              "BC.\r\n\r\ngr\xC4\xDF");
}

TEST_F(DeliverMessageTest, EmptySenderOrRecipientIsRefused) {
    EXPECT_FALSE(Deliver("", "BOB", "hi"));
    EXPECT_FALSE(Deliver("PC1", "", "hi"));
    EXPECT_FALSE(Deliver("\0PC1"s, "BOB", "hi"));  // a NUL ends the name
    EXPECT_TRUE(sink.handed.empty());

    // An empty text is a message.
    ASSERT_TRUE(Deliver("PC1", "BOB", ""));
    EXPECT_EQ(sink.handed.back().message.text, "Message from PC1 to BOB.\r\n\r\n");
}

TEST_F(DeliverMessageTest, NulEndsEachString) {
    ASSERT_TRUE(Deliver("PC1\0junk"s, "BOB\0x"s, "hi\0there"s));
    EXPECT_EQ(sink.handed.back().message.sender, "PC1");
    EXPECT_EQ(sink.handed.back().message.text, "Message from PC1 to BOB.\r\n\r\nhi");
}

TEST_F(DeliverMessageTest, AllowListIsCaseSensitive) {
    settings.AllMess = "A*";
    EXPECT_FALSE(Deliver("ann", "BOB", "hi"));
    EXPECT_TRUE(sink.handed.empty());
    EXPECT_TRUE(Deliver("Ann", "BOB", "hi"));
    EXPECT_EQ(sink.handed.size(), 1u);
}

TEST_F(DeliverMessageTest, DenyListWinsOverAllowList) {
    settings.AllMess = "PC*";
    settings.DontRecvMess = "OTHER;PC2";
    EXPECT_FALSE(Deliver("PC2", "BOB", "hi"));
    EXPECT_TRUE(Deliver("PC1", "BOB", "hi"));
    ASSERT_EQ(sink.handed.size(), 1u);
    EXPECT_EQ(sink.handed[0].message.sender, "PC1");

    settings.AllMess = "";  // an empty allow list takes nobody
    EXPECT_FALSE(Deliver("PC1", "BOB", "hi"));
    EXPECT_EQ(sink.handed.size(), 1u);
}

TEST_F(DeliverMessageTest, FiltersSeeTheConvertedSenderOnly) {
    settings.AllMess = "\xC4*";
    EXPECT_TRUE(Deliver("\x8Enne", "BOB", "hi"));
    settings.AllMess = "\x8E*";
    EXPECT_FALSE(Deliver("\x8Enne", "BOB", "hi"));

    // The recipient is not filtered.
    settings.AllMess = "*";
    settings.DontRecvMess = "BOB";
    EXPECT_TRUE(Deliver("PC1", "BOB", "hi"));
    EXPECT_EQ(sink.handed.size(), 2u);
}

}  // namespace
}  // namespace tavik
