#include "core/reception/hand_off_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/reception/confirmation.h"

namespace tavik {
namespace {

// A consumer thread that is woken the way the main window is: one wake-up, then it takes in
// batches until nothing is left.
class Consumer {
public:
    bool Wake() {
        std::lock_guard lock(mutex);
        ++wakeUps;
        changed.notify_all();
        return true;
    }

    // Takes until count messages arrived in all; false when no wake-up came for a while.
    bool TakeUntil(HandOffQueue& queue, std::size_t count) {
        std::unique_lock lock(mutex);
        while (taken.size() < count) {
            if (!changed.wait_for(lock, std::chrono::seconds(20), [&] { return wakeUps > 0; })) return false;
            --wakeUps;
            bool moreLeft = true;
            while (moreLeft) {
                for (HandOff& handOff : queue.Take(7, moreLeft)) {
                    taken.push_back(std::move(handOff));
                    std::this_thread::sleep_for(takeDelay);
                }
            }
        }
        return true;
    }

    std::mutex mutex;
    std::condition_variable changed;
    int wakeUps = 0;
    std::chrono::microseconds takeDelay{0};
    std::vector<HandOff> taken;
};

TEST(HandOffQueue, ProducersThatWaitForRoomStayWithinTheBoundOfASlowConsumerAndLoseNothing) {
    Consumer consumer;
    consumer.takeDelay = std::chrono::microseconds(200);
    HandOffQueue queue(HandOffBounds{16, 1u << 20}, [&] { return consumer.Wake(); });
    constexpr int kProducers = 4;
    constexpr int kEach = 300;
    std::atomic<std::size_t> largest{0};
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([&, p] {
            for (int i = 0; i < kEach; ++i) {
                while (!queue.WaitForRoom(std::chrono::milliseconds(50))) {
                }
                EXPECT_TRUE(queue.Push(kNormalPriority, IncomingMessage{std::to_string(i), "P" + std::to_string(p)}));
                std::size_t size = queue.Size();
                for (std::size_t seen = largest; size > seen && !largest.compare_exchange_weak(seen, size);) {
                }
            }
        });
    }
    ASSERT_TRUE(consumer.TakeUntil(queue, kProducers * kEach));
    for (auto& producer : producers) producer.join();

    // Each producer may add one message past the bound between its wait and its push.
    EXPECT_LE(largest.load(), 16u + kProducers);
    std::map<std::string, int> next;
    for (const HandOff& handOff : consumer.taken) {
        EXPECT_EQ(handOff.message.text, std::to_string(next[handOff.message.sender]++)) << handOff.message.sender;
    }
    for (int p = 0; p < kProducers; ++p) EXPECT_EQ(next["P" + std::to_string(p)], kEach);
}

TEST(HandOffQueue, OneWakeUpUntilTheConsumerHasTakenEverythingAndAFailedOneIsTriedAgain) {
    int wakeUps = 0;
    bool posts = true;
    HandOffQueue queue(HandOffBounds{}, [&] {
        ++wakeUps;
        return posts;
    });
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"a", "S"}));
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"b", "S"}));
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"c", "S"}));
    EXPECT_EQ(wakeUps, 1);
    EXPECT_FALSE(queue.RetryWake()) << "a wake-up is on its way";

    bool moreLeft = false;
    EXPECT_EQ(queue.Take(2, moreLeft).size(), 2u);
    EXPECT_TRUE(moreLeft);
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"d", "S"}));
    EXPECT_EQ(wakeUps, 1) << "the consumer said it takes again";
    EXPECT_EQ(queue.Take(10, moreLeft).size(), 2u);
    EXPECT_FALSE(moreLeft);

    // The window's queue was full: the post failed, and nothing may leave the message waiting.
    posts = false;
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"e", "S"}));
    EXPECT_EQ(wakeUps, 2);
    posts = true;
    EXPECT_TRUE(queue.RetryWake());
    EXPECT_EQ(wakeUps, 3);
    posts = false;
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"f", "S"}));
    EXPECT_EQ(wakeUps, 3) << "the retried wake-up is on its way";
}

TEST(HandOffQueue, CloseReleasesAWaitForRoomAndRefusesLaterPushesButKeepsWhatWaits) {
    HandOffQueue queue(HandOffBounds{1, 1u << 20}, nullptr);
    ASSERT_TRUE(queue.Push(kNormalPriority, IncomingMessage{"0123456789", ""}));
    EXPECT_FALSE(queue.WaitForRoom(std::chrono::milliseconds(1)));
    std::atomic<int> result{-1};
    std::thread waiting([&] { result = queue.WaitForRoom(std::chrono::minutes(5)) ? 1 : 0; });
    queue.Close();
    waiting.join();
    EXPECT_EQ(result.load(), 1);
    EXPECT_FALSE(queue.Push(kNormalPriority, IncomingMessage{"late", ""}));

    bool moreLeft = true;
    auto left = queue.Take(10, moreLeft);
    ASSERT_EQ(left.size(), 1u) << "what was queued before the close stays takeable";
    EXPECT_EQ(left[0].message.text, "0123456789");
}

TEST(Confirmation, EndsWhenTheMessageIsSettledDroppedOrTheListenerStops) {
    const auto never = [] { return false; };
    EXPECT_TRUE(Confirmation().Wait(std::chrono::milliseconds(1), never)) << "nothing to wait for";

    IncomingMessage settled;
    Confirmation whenSettled = Confirmation::For(settled);
    std::thread store([message = settled] { message.onSettled(); });
    EXPECT_TRUE(whenSettled.Wait(std::chrono::milliseconds(10), never));
    store.join();

    IncomingMessage dropped;
    Confirmation whenDropped = Confirmation::For(dropped);
    dropped = {};
    EXPECT_FALSE(whenDropped.Wait(std::chrono::milliseconds(10), never));

    IncomingMessage waiting;
    Confirmation whenStopped = Confirmation::For(waiting);
    int asked = 0;
    EXPECT_FALSE(whenStopped.Wait(std::chrono::milliseconds(1), [&] { return ++asked == 3; }));
}

}  // namespace
}  // namespace tavik
