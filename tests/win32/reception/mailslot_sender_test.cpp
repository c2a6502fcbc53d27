// tavik-send's mailslot writer against a mailslot this test owns. tavik-send's sources are
// not in a library, so the writer is compiled into this test directly.

#include "send/mailslot_sender.cpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "collecting_window.h"

namespace tavik {
namespace {

using namespace std::string_literals;
using send::SendMessengerDatagramTo;

class MailslotSenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        name = testing::PrivateMailslotName("sender");
        slot = CreateMailslotA(name.c_str(), 0, 0, nullptr);
        ASSERT_NE(slot, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        if (slot != INVALID_HANDLE_VALUE) CloseHandle(slot);
    }
    // The next datagram in the mailslot, if any.
    std::optional<std::string> Next() {
        DWORD size = 0;
        if (!GetMailslotInfo(slot, nullptr, &size, nullptr, nullptr) || size == MAILSLOT_NO_MESSAGE) {
            return std::nullopt;
        }
        std::vector<char> buffer(size);
        DWORD read = 0;
        if (!ReadFile(slot, buffer.data(), size, &read, nullptr)) return std::nullopt;
        return std::string(buffer.data(), read);
    }
    std::string name;
    HANDLE slot = INVALID_HANDLE_VALUE;
};

TEST_F(MailslotSenderTest, WritesOneDatagramWithJoinedLines) {
    std::string error;
    ASSERT_TRUE(SendMessengerDatagramTo(name, "PC1", "BOB", "line1\r\nline2\nline3", &error)) << error;
    EXPECT_EQ(Next(), "PC1\0BOB\0line1\x14line2\x14line3"s);
    EXPECT_EQ(Next(), std::nullopt);
}

TEST_F(MailslotSenderTest, SendsTheBytesItIsGiven) {
    // tavik-send has converted them to the receiver's code page already: converting again would garble them.
    ASSERT_TRUE(SendMessengerDatagramTo(name, "\x8Enne", "BOB", "gr\x81\xE1", nullptr));
    EXPECT_EQ(Next(), "\x8Enne\0BOB\0gr\x81\xE1"s);
}

TEST_F(MailslotSenderTest, RefusesWhatReceiversWouldDrop) {
    std::string error;
    EXPECT_FALSE(SendMessengerDatagramTo(name, "", "BOB", "hello", &error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(SendMessengerDatagramTo(name, "PC1", "", "hello", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(SendMessengerDatagramTo(name, "a", "b", "cd", nullptr));  // 6 bytes
    EXPECT_FALSE(SendMessengerDatagramTo(name, "PC1", "B\0B"s, "hello", nullptr));
    EXPECT_EQ(Next(), std::nullopt);

    EXPECT_TRUE(SendMessengerDatagramTo(name, "a", "b", "cde", nullptr));  // 7 bytes
    EXPECT_EQ(Next(), "a\0b\0cde"s);
}

TEST(MailslotSenderNoReceiverTest, ReportsAMissingReceiver) {
    std::string error;
    EXPECT_FALSE(SendMessengerDatagramTo(testing::PrivateMailslotName("nobody"), "PC1", "BOB", "hello", &error));
    EXPECT_NE(error.find("system error"), std::string::npos) << error;
}

}  // namespace
}  // namespace tavik
