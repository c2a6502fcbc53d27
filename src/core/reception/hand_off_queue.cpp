#include "core/reception/hand_off_queue.h"

#include <utility>

namespace tavik {

HandOffQueue::HandOffQueue(std::size_t capacityBytes, std::function<void()> wake)
    : capacityBytes_(capacityBytes), wake_(std::move(wake)) {}

std::size_t HandOffQueue::BytesOf(const IncomingMessage& message) {
    return message.text.size() + message.sender.size();
}

bool HandOffQueue::Push(std::uint32_t priority, IncomingMessage message) {
    const std::size_t bytes = BytesOf(message);
    bool wakeNow = false;
    {
        std::unique_lock lock(mutex_);
        spaceFreed_.wait(lock, [&] { return closed_ || waiting_.empty() || waitingBytes_ + bytes <= capacityBytes_; });
        if (closed_) return false;
        waiting_.push_back(HandOff{priority, std::move(message)});
        waitingBytes_ += bytes;
        wakeNow = !wakePending_;
        wakePending_ = true;
    }
    // Outside the lock: the wake-up may be a call into the window system.
    if (wakeNow && wake_) wake_();
    return true;
}

std::vector<HandOff> HandOffQueue::Take(std::size_t maxCount, bool& moreLeft) {
    std::vector<HandOff> taken;
    {
        std::lock_guard lock(mutex_);
        while (!waiting_.empty() && taken.size() < maxCount) {
            waitingBytes_ -= BytesOf(waiting_.front().message);
            taken.push_back(std::move(waiting_.front()));
            waiting_.pop_front();
        }
        moreLeft = !waiting_.empty();
        wakePending_ = moreLeft;
    }
    if (!taken.empty()) spaceFreed_.notify_all();
    return taken;
}

void HandOffQueue::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    spaceFreed_.notify_all();
}

std::size_t HandOffQueue::Size() const {
    std::lock_guard lock(mutex_);
    return waiting_.size();
}

}  // namespace tavik
