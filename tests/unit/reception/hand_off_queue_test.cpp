#include "core/reception/hand_off_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavik {
namespace {

// A consumer thread that is woken the way the main window is: one wake-up, then it takes in
// batches until nothing is left.
class Consumer {
public:
    void Wake() {
        std::lock_guard lock(mutex);
        ++wakeUps;
        changed.notify_all();
    }

    // Takes until count messages arrived in all; false when no wake-up came for a while.
    bool TakeUntil(HandOffQueue& queue, std::size_t count) {
        std::unique_lock lock(mutex);
        while (taken.size() < count) {
            if (!changed.wait_for(lock, std::chrono::seconds(20), [&] { return wakeUps > 0; })) return false;
            --wakeUps;
            bool moreLeft = true;
            while (moreLeft) {
                for (HandOff& handOff : queue.Take(7, moreLeft)) taken.push_back(std::move(handOff));
            }
        }
        return true;
    }

    std::mutex mutex;
    std::condition_variable changed;
    int wakeUps = 0;
    std::vector<HandOff> taken;
};

TEST(HandOffQueue, ManyProducersOneConsumerLoseNothingAndKeepEachProducersOrder) {
    Consumer consumer;
    // Small enough that producers must wait for the consumer now and then.
    HandOffQueue queue(64, [&] { consumer.Wake(); });
    constexpr int kProducers = 4;
    constexpr int kEach = 500;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&queue, p] {
            for (int i = 0; i < kEach; ++i) {
                EXPECT_TRUE(queue.Push(kNormalPriority, IncomingMessage{std::to_string(i), "P" + std::to_string(p)}));
            }
        });
    }
    ASSERT_TRUE(consumer.TakeUntil(queue, kProducers * kEach));
    for (auto& producer : producers) producer.join();

    std::map<std::string, int> next;
    for (const HandOff& handOff : consumer.taken) {
        EXPECT_EQ(handOff.message.text, std::to_string(next[handOff.message.sender]++)) << handOff.message.sender;
    }
    for (int p = 0; p < kProducers; ++p) EXPECT_EQ(next["P" + std::to_string(p)], kEach);
    EXPECT_EQ(queue.Size(), 0u);
}

TEST(HandOffQueue, OneWakeUpUntilTheConsumerHasTakenEverything) {
    int wakeUps = 0;
    HandOffQueue queue(1 << 20, [&] { ++wakeUps; });
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"a", "S"}));
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"b", "S"}));
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"c", "S"}));
    EXPECT_EQ(wakeUps, 1);

    bool moreLeft = false;
    EXPECT_EQ(queue.Take(2, moreLeft).size(), 2u);
    EXPECT_TRUE(moreLeft);
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"d", "S"}));
    EXPECT_EQ(wakeUps, 1) << "the consumer said it takes again";

    EXPECT_EQ(queue.Take(10, moreLeft).size(), 2u);
    EXPECT_FALSE(moreLeft);
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"e", "S"}));
    EXPECT_EQ(wakeUps, 2);
}

TEST(HandOffQueue, CloseReleasesAProducerWaitingOnAFullQueueAndRefusesLaterPushes) {
    HandOffQueue queue(10, nullptr);
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"0123456789", ""}));
    // An empty queue takes a message of any size; a full one makes the producer wait.
    std::atomic<int> result{-1};
    std::thread blocked([&] { result = queue.Push(kNormalPriority, IncomingMessage{"x", ""}) ? 1 : 0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(result.load(), -1) << "the push must wait while the queue is full";
    queue.Close();
    blocked.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(queue.Push(kNormalPriority, IncomingMessage{"late", ""}));

    bool moreLeft = true;
    auto left = queue.Take(10, moreLeft);
    ASSERT_EQ(left.size(), 1u) << "what was queued before the close stays takeable";
    EXPECT_EQ(left[0].message.text, "0123456789");
}

}  // namespace
}  // namespace tavik
