// The pieces the listeners hand messages through: the hand-off queue's posted wake-up to a
// window, and the system OEM-to-ANSI conversion.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "collecting_window.h"
#include "reception/ansi_code_page.h"

namespace tavik::reception {
namespace {

TEST(HandOffToWindowTest, MessagesPushedOnOtherThreadsReachTheWindowInOrder) {
    testing::CollectingWindow window;
    std::atomic<int> stored{0};
    constexpr int kPerThread = 200;
    auto push = [&](std::uint32_t priority, const std::string& sender) {
        for (int i = 0; i < kPerThread; ++i) {
            IncomingMessage message{std::to_string(i), sender, [&] { ++stored; }};
            ASSERT_TRUE(window.Queue()->Push(priority, std::move(message)));
        }
    };
    std::thread first(push, kHighPriority, "PC9/10.0.0.9");
    std::thread second(push, kNormalPriority, "PC8");
    ASSERT_TRUE(window.WaitForCount(2 * kPerThread));
    first.join();
    second.join();
    int nextOfFirst = 0, nextOfSecond = 0;
    for (const auto& message : window.Received()) {
        if (message.sender == "PC9/10.0.0.9") {
            EXPECT_EQ(message.priority, 1u);
            EXPECT_EQ(message.text, std::to_string(nextOfFirst++));
        } else {
            EXPECT_EQ(message.priority, 0u);
            EXPECT_EQ(message.text, std::to_string(nextOfSecond++));
        }
    }
    EXPECT_EQ(nextOfFirst, kPerThread);
    EXPECT_EQ(nextOfSecond, kPerThread);
    EXPECT_EQ(stored.load(), 2 * kPerThread);
}

TEST(AnsiCodePageTest, KeepsLengthAndAsciiAndConvertsOemLetters) {
    const AnsiCodePage codePage;
    std::string everyByte;
    for (int c = 1; c < 256; ++c) everyByte.push_back(static_cast<char>(c));
    const std::string converted = codePage.ConvertOemToAnsi(everyByte);
    ASSERT_EQ(converted.size(), everyByte.size());
    for (int c = 0x20; c < 0x7F; ++c) {
        EXPECT_EQ(converted[c - 1], static_cast<char>(c)) << "byte " << c;
    }
    EXPECT_EQ(codePage.ConvertOemToAnsi(""), "");

    // "Ä" is 0x8E in the OEM pages of Western Europe and the US, 0xC4 in their ANSI page.
    const UINT oem = GetOEMCP();
    if ((oem == 437 || oem == 850) && GetACP() == 1252) {
        EXPECT_EQ(codePage.ConvertOemToAnsi("\x8E"
                                            "rger"),
                  "\xC4"
                  "rger");
    } else {
        GTEST_SKIP() << "code pages " << oem << "/" << GetACP();
    }
}

}  // namespace
}  // namespace tavik::reception
