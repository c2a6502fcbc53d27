#include "core/net/listener_thread.h"

namespace tavik::net {

namespace {

// How long a stopper that lets a thread go waits for a socket call of that thread to end.
constexpr std::chrono::milliseconds kSocketReleaseBound{1000};

}  // namespace

void ListenerState::RequestStop() {
    stop_.store(true);
    std::lock_guard lock(mutex_);
    changed_.notify_all();
}

bool ListenerState::WaitForStop(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return stop_.load(); });
}

void ListenerState::SetListening(std::uint16_t port) {
    std::lock_guard lock(mutex_);
    phase_ = Phase::Listening;
    port_ = port;
    changed_.notify_all();
}

void ListenerState::SetFailed() {
    std::lock_guard lock(mutex_);
    phase_ = Phase::Failed;
    changed_.notify_all();
}

void ListenerState::SetEnded() {
    std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
}

void ListenerState::SetServedSocket(std::shared_ptr<ServedSocket> socket) {
    std::lock_guard lock(mutex_);
    served_ = std::move(socket);
    if (released_ && served_) served_->Close();  // the thread's own call: none is under way
}

void ListenerState::ReleaseServedSocket(std::chrono::milliseconds limit) {
    std::shared_ptr<ServedSocket> served;
    {
        std::lock_guard lock(mutex_);
        released_ = true;
        served = served_;
    }
    if (served) served->Close(limit);
}

std::optional<std::uint16_t> ListenerState::WaitListening(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, limit, [this] { return phase_ != Phase::Starting || ended_; });
    if (phase_ == Phase::Listening) return port_;
    return std::nullopt;
}

bool ListenerState::WaitEnded(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return ended_; });
}

ListenerThread::~ListenerThread() { Stop(kListenerStopBound); }

void ListenerThread::Start(Body body, std::function<void()> onFinished) {
    state_ = std::make_shared<ListenerState>();
    thread_ = std::thread([state = state_, body = std::move(body), onFinished = std::move(onFinished)] {
        try {
            body(*state);
        } catch (...) {
            // The bodies recover from their own faults; this only keeps the process alive.
        }
        state->SetEnded();
        if (onFinished) onFinished();
    });
}

void ListenerThread::RequestStop() {
    if (state_) state_->RequestStop();
}

bool ListenerThread::WaitStopped(std::chrono::milliseconds limit) { return !state_ || state_->WaitEnded(limit); }

bool ListenerThread::Stop(std::chrono::milliseconds limit) {
    if (!thread_.joinable()) return true;
    state_->RequestStop();
    if (state_->WaitEnded(limit)) {
        thread_.join();
        return true;
    }
    // Never killed: it ends on its own once free, holding what it needs, but not the port. Its
    // socket calls each end within a stop-check interval; the bound is generous beyond that.
    state_->ReleaseServedSocket(kSocketReleaseBound);
    thread_.detach();
    return false;
}

std::optional<std::uint16_t> ListenerThread::WaitListening(std::chrono::milliseconds limit) {
    if (!state_) return std::nullopt;
    return state_->WaitListening(limit);
}

}  // namespace tavik::net
