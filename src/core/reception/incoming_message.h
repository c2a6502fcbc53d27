#pragma once
// The hand-off record of a received message: what every listener gives the main window.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace tavik {

struct IncomingMessage {
    std::string text;    // the whole text as the user sees it, ANSI code page
    std::string sender;  // the sender as the user sees it, ANSI code page
    // Runs once the message is stored (its file written, or in the list when files are off)
    // and never otherwise: a sender is told "delivered" only then. May be empty.
    std::function<void()> onStored{};
    // Runs once the store is done with the message: stored as above, or kept in the list after a
    // failed write the user was told of (it is written again later). Never when the message is
    // lost. The TCP byte count and the Messenger answer wait for it. May be empty.
    std::function<void()> onSettled{};
};

// Priority of a hand-off: 1 only for a high-priority message of the own protocol.
constexpr std::uint32_t kNormalPriority = 0;
constexpr std::uint32_t kHighPriority = 1;

// Where listeners hand finished messages. The program queues them for the user-interface
// thread; tests collect. Called on listener threads; returns when taken.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void Deliver(std::uint32_t priority, const IncomingMessage& message) = 0;
    // A listener that cannot hold its sender back (UDP, the mailslot) asks before it reads the
    // next message: true once there is room, false when limit passed first.
    virtual bool WaitForRoom(std::chrono::milliseconds /*limit*/) { return true; }
};

}  // namespace tavik
