// The pieces the listeners hand messages through: the window-message sink and the system
// OEM-to-ANSI conversion.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "collecting_window.h"
#include "reception/ansi_code_page.h"
#include "reception/window_message_sink.h"

namespace tavik {
namespace {

TEST(WindowMessageSinkTest, SendsPriorityAndRecordFromAnotherThread) {
    testing::CollectingWindow window;
    std::atomic<int> returned{0};
    std::thread sender([&] {
        WindowMessageSink sink(window.Handle());
        sink.Deliver(kHighPriority, IncomingMessage{"urgent text", "PC9/10.0.0.9"});
        ++returned;
        sink.Deliver(kNormalPriority, IncomingMessage{"plain", "PC9"});
        ++returned;
    });
    ASSERT_TRUE(window.PumpUntil([&] { return returned.load() == 2; }));
    sender.join();
    ASSERT_EQ(window.Received().size(), 2u);
    EXPECT_EQ(window.Received()[0].priority, 1u);
    EXPECT_EQ(window.Received()[0].text, "urgent text");
    EXPECT_EQ(window.Received()[0].sender, "PC9/10.0.0.9");
    EXPECT_EQ(window.Received()[1].priority, 0u);
    EXPECT_EQ(window.Received()[1].sender, "PC9");
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
        EXPECT_EQ(codePage.ConvertOemToAnsi("\x8E" "rger"), "\xC4" "rger");
    } else {
        GTEST_SKIP() << "code pages " << oem << "/" << GetACP();
    }
}

}  // namespace
}  // namespace tavik
