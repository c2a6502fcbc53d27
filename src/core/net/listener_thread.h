#pragma once
// The thread of one listener and the state it shares with its owner. The thread never
// blocks longer than its stop-check interval, so a stop is seen promptly; a thread that
// is stuck elsewhere (in its handler, say) past the owner's bound is let go, not killed,
// and keeps what it uses alive until it ends, all but its socket: the owner closes that,
// so the port is free for the next start.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "core/net/served_socket.h"

namespace tavik::net {

inline constexpr std::chrono::milliseconds kListenerStopBound{7000};

class ListenerState {
public:
    bool StopRequested() const { return stop_.load(); }
    void RequestStop();
    // Sleeps up to limit, waking at once for a stop; true when a stop was requested.
    bool WaitForStop(std::chrono::milliseconds limit);

    // A listener whose port could not be taken calls SetFailed and may call SetListening later,
    // once it got the port after all.
    void SetListening(std::uint16_t port);
    void SetFailed();
    void SetEnded();

    // The socket the thread serves now (nothing once it is done with it). Once the owner has let
    // the thread go, a socket set here is closed at once.
    void SetServedSocket(std::shared_ptr<ServedSocket> socket);
    // For an owner that lets the thread go: closes the socket it serves, waiting up to limit for
    // a call under way, and any it would serve later.
    void ReleaseServedSocket(std::chrono::milliseconds limit);

    // Waits only for the first outcome: the bound port when listening now; nothing when the
    // port could not be taken (yet), the thread ended or the time ran out. After a failure it
    // answers at once, with the port as soon as a later attempt has taken it.
    std::optional<std::uint16_t> WaitListening(std::chrono::milliseconds limit);
    bool WaitEnded(std::chrono::milliseconds limit);

private:
    enum class Phase { Starting, Listening, Failed };
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    Phase phase_ = Phase::Starting;
    bool ended_ = false;
    std::uint16_t port_ = 0;
    std::shared_ptr<ServedSocket> served_;
    bool released_ = false;
};

class ListenerThread {
public:
    using Body = std::function<void(ListenerState&)>;

    ListenerThread() = default;
    ~ListenerThread();  // stops within kListenerStopBound
    ListenerThread(const ListenerThread&) = delete;
    ListenerThread& operator=(const ListenerThread&) = delete;

    // Runs body on a new thread, then onFinished (may be empty). One start per object.
    void Start(Body body, std::function<void()> onFinished);
    bool Started() const { return state_ != nullptr; }

    void RequestStop();
    bool WaitStopped(std::chrono::milliseconds limit);
    // Requests the stop and waits up to limit; true when the thread ended and was joined.
    bool Stop(std::chrono::milliseconds limit);

    std::optional<std::uint16_t> WaitListening(std::chrono::milliseconds limit);

private:
    std::shared_ptr<ListenerState> state_;
    std::thread thread_;
};

}  // namespace tavik::net
