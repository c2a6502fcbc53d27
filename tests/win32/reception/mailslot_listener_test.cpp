// The mailslot listener end to end inside one process: datagrams written to a private
// mailslot reach a hidden window through the hand-off queue.

#include "reception/mailslot_listener.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "collecting_window.h"
#include "core/settings/settings_store.h"
#include "reception/mailslot_thread.h"

namespace tavik::reception {
namespace {

using namespace std::string_literals;
using testing::CollectingWindow;
using testing::WriteDatagram;

bool MailslotExists(const std::string& name) {
    HANDLE slot = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (slot == INVALID_HANDLE_VALUE) return false;
    CloseHandle(slot);
    return true;
}

// A sink whose room the test opens; it counts the listener's looks for room.
struct GatedSink final : MessageSink {
    void Deliver(std::uint32_t, const IncomingMessage& message) override {
        std::lock_guard lock(mutex);
        texts.push_back(message.text);
        changed.notify_all();
    }
    bool WaitForRoom(std::chrono::milliseconds limit) override {
        std::unique_lock lock(mutex);
        ++looks;
        changed.notify_all();
        return changed.wait_for(lock, limit, [&] { return open; });
    }
    bool WaitUntil(const std::function<bool()>& done) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), done);
    }
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    int looks = 0;
    std::vector<std::string> texts;
};

class MailslotListenerTest : public ::testing::Test {
protected:
    void StartListener(const char* purpose, MessageSink* sink = nullptr) {
        slotName = testing::PrivateMailslotName(purpose);
        listener = std::make_unique<MailslotListener>(sink != nullptr ? *sink : window.Sink(), "", slotName);
        thread = std::thread([this] {
            runResult = listener->Run();
            finished = true;
        });
        ASSERT_TRUE(window.PumpUntil([&] { return MailslotExists(slotName); }));
    }

    // Stops the listener, taking any message it is handing over meanwhile.
    bool StopListener() {
        if (!thread.joinable()) return true;
        listener->Stop();
        const bool ended = window.PumpUntil([&] { return finished.load(); });
        if (ended) thread.join();
        return ended;
    }

    void TearDown() override {
        if (!StopListener()) thread.detach();  // never hang the run; the failure is reported
        ProcessSettings().Replace(Settings{});
    }

    GatedSink gated;  // outlives the listener's thread
    CollectingWindow window;
    std::string slotName;
    std::unique_ptr<MailslotListener> listener;
    std::thread thread;
    std::atomic<bool> finished{false};
    DWORD runResult = 0xFFFFFFFF;
};

TEST_F(MailslotListenerTest, HandsParsedDatagramsToTheWindow) {
    StartListener("deliver");
    ASSERT_TRUE(WriteDatagram(slotName, "PC1\0BOB\0line1\x14line2"s));
    ASSERT_TRUE(window.WaitForCount(1));
    const auto& message = window.Received()[0];
    EXPECT_EQ(message.priority, 0u);
    EXPECT_EQ(message.sender, "PC1");
    EXPECT_EQ(message.text, "Message from PC1 to BOB.\r\n\r\nline1\r\nline2");

    ASSERT_TRUE(StopListener());
    EXPECT_EQ(runResult, 0u);
}

TEST_F(MailslotListenerTest, DropsMalformedDatagramsAndGoesOn) {
    StartListener("malformed");
    ASSERT_TRUE(WriteDatagram(slotName, "a\0b\0cd"s));  // 6 bytes
    ASSERT_TRUE(WriteDatagram(slotName, "PC1\0BOB"s));  // recipient not ended
    ASSERT_TRUE(WriteDatagram(slotName, "NO NUL AT ALL"s));
    ASSERT_TRUE(WriteDatagram(slotName, "\0BOB\0no sender"s));
    ASSERT_TRUE(WriteDatagram(slotName, "a\0b\0cde"s));  // 7 bytes: taken
    ASSERT_TRUE(window.WaitForCount(1));
    // Datagrams are read in order, so everything before the good one has been looked at.
    ASSERT_EQ(window.Received().size(), 1u);
    EXPECT_EQ(window.Received()[0].sender, "a");
    EXPECT_EQ(window.Received()[0].text, "Message from a to b.\r\n\r\ncde");
}

TEST_F(MailslotListenerTest, ReadsEveryWaitingDatagramInOrder) {
    StartListener("queued");
    constexpr int kCount = 50;
    for (int i = 0; i < kCount; ++i) {
        ASSERT_TRUE(WriteDatagram(slotName, "PC1\0BOB\0#"s + std::to_string(i)));
    }
    // A big one is read whole, at its own size.
    const std::string big(100000, 'b');
    ASSERT_TRUE(WriteDatagram(slotName, "PC1\0BOB\0"s + big));
    ASSERT_TRUE(window.WaitForCount(kCount + 1));
    const auto& received = window.Received();
    for (int i = 0; i < kCount; ++i) {
        const std::string mark = "#" + std::to_string(i);
        EXPECT_EQ(received[i].text.substr(received[i].text.size() - mark.size()), mark);
    }
    EXPECT_EQ(received[kCount].text.substr(received[kCount].text.size() - big.size()), big);
}

TEST_F(MailslotListenerTest, LeavesDatagramsInTheMailslotWhileTheSinkHasNoRoom) {
    StartListener("full", &gated);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(WriteDatagram(slotName, "PC1\0BOB\0#"s + std::to_string(i)));
    // Each look for room that finds none would otherwise have been a read.
    ASSERT_TRUE(gated.WaitUntil([&] { return gated.looks >= 3; }));
    {
        std::lock_guard lock(gated.mutex);
        EXPECT_TRUE(gated.texts.empty()) << "read while the sink had no room";
        gated.open = true;
        gated.changed.notify_all();
    }
    ASSERT_TRUE(gated.WaitUntil([&] { return gated.texts.size() == 3; }));
    EXPECT_EQ(gated.texts.back().back(), '2');
}

TEST_F(MailslotListenerTest, ReadsTheFiltersOfTheCurrentSettings) {
    StartListener("filters");
    Settings denying;
    denying.DontRecvMess = "PC2";
    ProcessSettings().Replace(denying);
    ASSERT_TRUE(WriteDatagram(slotName, "PC2\0BOB\0denied"s));
    ASSERT_TRUE(WriteDatagram(slotName, "PC1\0BOB\0allowed"s));
    ASSERT_TRUE(window.WaitForCount(1));
    ASSERT_EQ(window.Received().size(), 1u);
    EXPECT_EQ(window.Received()[0].sender, "PC1");
}

TEST_F(MailslotListenerTest, StopEndsAnIdleListener) {
    StartListener("stop");
    EXPECT_TRUE(StopListener());
    EXPECT_EQ(runResult, 0u);
    // The mailslot is closed with the listener, so the name is free again.
    EXPECT_FALSE(MailslotExists(slotName));
}

TEST_F(MailslotListenerTest, ReportsTheSystemErrorWhenTheNameIsTaken) {
    const std::string name = testing::PrivateMailslotName("taken");
    HANDLE owner = CreateMailslotA(name.c_str(), 0, 0, nullptr);
    ASSERT_NE(owner, INVALID_HANDLE_VALUE);
    MailslotListener second(window.Sink(), "", name);
    EXPECT_EQ(second.Run(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(owner);
}

TEST(MailslotThreadTest, ServesTheMessengerMailslotUntilAskedToStop) {
    CollectingWindow window;
    auto thread = StartMailslotThread(ReceptionContext{window.Handle(), nullptr, window.Queue()});
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(window.PumpUntil([] { return MailslotExists(kMessengerMailslotName); }));

    ASSERT_TRUE(WriteDatagram(kMessengerMailslotName, "SERVER\0ALICE\0hello"s));
    ASSERT_TRUE(window.WaitForCount(1));
    EXPECT_EQ(window.Received()[0].sender, "SERVER");

    thread->RequestStop();
    ASSERT_TRUE(window.PumpUntil([&] { return WaitForSingleObject(thread->Finished(), 0) == WAIT_OBJECT_0; }));
    EXPECT_FALSE(MailslotExists(kMessengerMailslotName));
}

}  // namespace
}  // namespace tavik::reception
