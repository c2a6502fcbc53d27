#include "core/reception/hand_off_queue.h"

#include <utility>

namespace tavik {

HandOffQueue::HandOffQueue(HandOffBounds bounds, std::function<bool()> wake)
    : bounds_(bounds), wake_(std::move(wake)) {}

std::size_t HandOffQueue::BytesOf(const IncomingMessage& message) {
    return message.text.size() + message.sender.size();
}

bool HandOffQueue::Full() const {
    return !waiting_.empty() && (waiting_.size() >= bounds_.messages || waitingBytes_ >= bounds_.bytes);
}

bool HandOffQueue::Push(std::uint32_t priority, IncomingMessage message) {
    const std::size_t bytes = BytesOf(message);
    bool wakeNow = false;
    {
        std::lock_guard lock(mutex_);
        if (closed_) return false;
        waiting_.push_back(HandOff{priority, std::move(message)});
        waitingBytes_ += bytes;
        wakeNow = !wakePending_;
        wakePending_ = true;
    }
    // Outside the lock: the wake-up may be a call into the window system.
    if (wakeNow) Wake();
    return true;
}

void HandOffQueue::Wake() {
    if (!wake_ || wake_()) return;
    // Not posted: nothing is on its way, so the next push or RetryWake must try again.
    std::lock_guard lock(mutex_);
    wakePending_ = false;
}

bool HandOffQueue::RetryWake() {
    {
        std::lock_guard lock(mutex_);
        if (wakePending_ || waiting_.empty()) return false;
        wakePending_ = true;
    }
    Wake();
    return true;
}

bool HandOffQueue::LowEnough() const {
    return waiting_.size() <= bounds_.messages / 2 && waitingBytes_ <= bounds_.bytes / 2;
}

bool HandOffQueue::WaitForRoom(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    if (closed_ || !Full()) return true;
    // Once full, a listener waits until half is taken and then reads a run of messages: one
    // wake-up per run, not one per message (under Wine each wake-up is a trip to the server).
    ++roomWaiters_;
    const bool room = roomFreed_.wait_for(lock, limit, [this] { return closed_ || LowEnough(); });
    --roomWaiters_;
    return room;
}

std::vector<HandOff> HandOffQueue::Take(std::size_t maxCount, bool& moreLeft) {
    std::vector<HandOff> taken;
    bool notify = false;
    {
        std::lock_guard lock(mutex_);
        while (!waiting_.empty() && taken.size() < maxCount) {
            waitingBytes_ -= BytesOf(waiting_.front().message);
            taken.push_back(std::move(waiting_.front()));
            waiting_.pop_front();
        }
        moreLeft = !waiting_.empty();
        wakePending_ = moreLeft;
        notify = !taken.empty() && roomWaiters_ > 0 && LowEnough();
    }
    if (notify) roomFreed_.notify_all();
    return taken;
}

void HandOffQueue::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    roomFreed_.notify_all();
}

std::size_t HandOffQueue::Size() const {
    std::lock_guard lock(mutex_);
    return waiting_.size();
}

}  // namespace tavik
