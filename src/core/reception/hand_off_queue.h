#pragma once
// The one way received messages reach the user-interface thread. Listener threads push; the
// user-interface thread is woken once and takes what waits, in order. A listener waits only
// while the queue is full, which means the user-interface thread has stopped taking.

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

class HandOffQueue {
public:
    // capacityBytes bounds the text and sender bytes waiting (one message always fits an
    // empty queue). wake is called on the pushing thread when the consumer must be told
    // that messages wait; it is not called again until the consumer has taken them all.
    HandOffQueue(std::size_t capacityBytes, std::function<void()> wake);

    // Adds a message; waits while the queue is full. False when the queue is closed (the
    // message was not taken and its sender must not be told it was delivered).
    bool Push(std::uint32_t priority, IncomingMessage message);

    // Up to maxCount of the waiting messages, oldest first; never waits. When messages are
    // left, moreLeft says so and no new wake-up comes for them: the consumer takes again.
    std::vector<HandOff> Take(std::size_t maxCount, bool& moreLeft);

    // Refuses later pushes and releases the pushers that wait; queued messages stay takeable.
    void Close();
    std::size_t Size() const;

private:
    static std::size_t BytesOf(const IncomingMessage& message);

    const std::size_t capacityBytes_;
    const std::function<void()> wake_;
    mutable std::mutex mutex_;
    std::condition_variable spaceFreed_;
    std::deque<HandOff> waiting_;
    std::size_t waitingBytes_ = 0;
    bool wakePending_ = false;
    bool closed_ = false;
};

// A message sink that pushes onto a queue; it keeps the queue alive, so a listener that
// outlives its owner still has somewhere to push.
class QueueMessageSink final : public MessageSink {
public:
    explicit QueueMessageSink(std::shared_ptr<HandOffQueue> queue) : queue_(std::move(queue)) {}
    void Deliver(std::uint32_t priority, const IncomingMessage& message) override { queue_->Push(priority, message); }

private:
    std::shared_ptr<HandOffQueue> queue_;
};

}  // namespace tavik
