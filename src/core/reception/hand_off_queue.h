#pragma once
// The one way received messages reach the user-interface thread. Listener threads push; the
// user-interface thread is woken once and takes what waits, in order.
//
// The queue is bounded by what the window can store in about two seconds (a count and a byte
// bound), not by memory: listeners that cannot hold their sender back (UDP, the mailslot) wait
// for room before they read the next message, and leave the rest to the system's buffers, so no
// message is counted and then dropped and a flood never builds a backlog of minutes. Listeners
// that answer their sender (TCP, Messenger sessions) wait for their own message to be stored,
// so each adds at most one. A push itself never waits.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "core/reception/incoming_message.h"

namespace tavik {

struct HandOff {
    std::uint32_t priority = kNormalPriority;
    IncomingMessage message;
};

struct HandOffBounds {
    std::size_t messages = 256;     // one to two seconds of storing under Wine
    std::size_t bytes = 4u << 20;   // text and sender bytes; one message always fits an empty queue
};

class HandOffQueue {
public:
    // wake is called on the pushing thread when the consumer must be told that messages wait; it
    // is not called again until the consumer has taken them all, unless it returns false (the
    // wake-up could not be posted): then the next push, or RetryWake, tries again.
    HandOffQueue(HandOffBounds bounds, std::function<bool()> wake);

    // Adds a message and never waits. False when the queue is closed (the message was not taken
    // and its sender must not be told it was delivered).
    bool Push(std::uint32_t priority, IncomingMessage message);

    // True at once while the queue is below its bounds; once it is full, true when half of it has
    // been taken (or it was closed); false when limit passed first.
    bool WaitForRoom(std::chrono::milliseconds limit);

    // Up to maxCount of the waiting messages, oldest first; never waits. When messages are
    // left, moreLeft says so and no new wake-up comes for them: the consumer takes again.
    std::vector<HandOff> Take(std::size_t maxCount, bool& moreLeft);

    // For the consumer's timer: when messages wait and no wake-up is on its way (a post failed),
    // wakes it again. True when one was sent now.
    bool RetryWake();

    // Refuses later pushes and releases those waiting for room; queued messages stay takeable.
    void Close();
    std::size_t Size() const;

private:
    static std::size_t BytesOf(const IncomingMessage& message);
    bool Full() const;       // with mutex_ held
    bool LowEnough() const;  // with mutex_ held: waiters for room may read again
    void Wake();

    const HandOffBounds bounds_;
    const std::function<bool()> wake_;
    mutable std::mutex mutex_;
    std::condition_variable roomFreed_;
    std::deque<HandOff> waiting_;
    std::size_t waitingBytes_ = 0;
    std::size_t roomWaiters_ = 0;
    bool wakePending_ = false;
    bool closed_ = false;
};

// A message sink that pushes onto a queue; it keeps the queue alive, so a listener that
// outlives its owner still has somewhere to push.
class QueueMessageSink final : public MessageSink {
public:
    explicit QueueMessageSink(std::shared_ptr<HandOffQueue> queue) : queue_(std::move(queue)) {}
    void Deliver(std::uint32_t priority, const IncomingMessage& message) override { queue_->Push(priority, message); }
    bool WaitForRoom(std::chrono::milliseconds limit) override { return queue_->WaitForRoom(limit); }

private:
    std::shared_ptr<HandOffQueue> queue_;
};

}  // namespace tavik
