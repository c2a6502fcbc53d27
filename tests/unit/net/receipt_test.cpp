#include "core/net/receipt.h"

#include <gtest/gtest.h>

#include <string>

namespace tavik::net {
namespace {

using namespace std::string_literals;

TEST(RecipientName, TakesTheNameFromTheHeadingLine) {
    EXPECT_EQ(RecipientName("Message from A to BOB.\r\ntext", "10.0.0.5"), "BOB");
    EXPECT_EQ(RecipientName("Message from A to BOB SMITH.\r\nto you\n", "10.0.0.5"), "BOB SMITH");
    // The first " to " counts, even when the heading has a second one.
    EXPECT_EQ(RecipientName("x to y to z.\r\n", "p"), "y to z");
}

TEST(RecipientName, FallsBackToThePeerAddress) {
    EXPECT_EQ(RecipientName("Hello", "10.0.0.5"), "10.0.0.5") << "no line feed, no to";
    EXPECT_EQ(RecipientName("Message from A to BOB.", "10.0.0.5"), "10.0.0.5") << "no line feed";
    EXPECT_EQ(RecipientName("Hello\r\nnote to self.\r\n", "10.0.0.5"), "10.0.0.5") << "to after the line feed";
    EXPECT_EQ(RecipientName("A to .\r\n", "10.0.0.5"), "10.0.0.5") << "nothing would remain";
    EXPECT_EQ(RecipientName("A to \n", "10.0.0.5"), "10.0.0.5") << "shorter than the two dropped bytes";
    EXPECT_EQ(RecipientName("A to XY.\n", "10.0.0.5"), "X")
        << "the two bytes before the line feed go, whatever they are";
    EXPECT_EQ(RecipientName("", "10.0.0.5"), "10.0.0.5");
}

TEST(ReceiptText, FillsNameDateAndCount) {
    EXPECT_EQ(ReceiptText("", "BOB", "12/3/2024, 10:15 AM", 87),
              "Message to BOB delivered on 12/3/2024, 10:15 AM (87 bytes)");
    EXPECT_EQ(ReceiptText("%s got it at %s: %d", "BOB", "now", 5), "BOB got it at now: 5");
    // A recipient's own "%" signs are text, not conversions.
    EXPECT_EQ(ReceiptText("", "100%s", "now", 5), "Message to 100%s delivered on now (5 bytes)");
}

TEST(Receipt, IsExactlyTheTenFieldDatagram) {
    std::string receipt =
        BuildReceipt("Message to BOB delivered on 1/2/2025, 3:04 PM (87 bytes)", "DESK7", "192.168.1.20", 7777);
    std::string expected =
        "NOTIFY_MESSAGE\0"s
        "#0Message to BOB delivered on 1/2/2025, 3:04 PM (87 bytes)\0"s
        "#1DESK7\0"s
        "#2\0"s
        "#30\0"s
        "#4\0"s
        "#5192.168.1.20:7777u\0"s
        "#6\0#7\0#8\0#9\0"s;
    EXPECT_EQ(receipt, expected);
}

TEST(Receipt, CutsTheComputerNameToFifteenAndAllowsEmptyParts) {
    std::string receipt = BuildReceipt("t", "ABCDEFGHIJKLMNOPQRS", "", 1);
    EXPECT_NE(receipt.find("\0#1ABCDEFGHIJKLMNO\0#2"s), std::string::npos);
    EXPECT_NE(receipt.find("\0#5:1u\0#6"s), std::string::npos);
}

}  // namespace
}  // namespace tavik::net
