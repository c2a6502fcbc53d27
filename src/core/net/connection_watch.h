#pragma once
// Deadlines of connections whose workers wait in plain blocking receives. A blocking receive
// takes fewer socket calls than a wait for bytes followed by a receive (under Wine, two round
// trips to the wineserver fewer each time); in exchange someone else must end it: the listener's
// thread shuts down the connections past their deadline as it goes round, and all of them at a
// stop.

#include <chrono>
#include <list>
#include <mutex>

#include "core/net/socket_layer.h"

namespace tavik::net {

class ConnectionWatch {
public:
    using Clock = std::chrono::steady_clock;

    // A connection under watch for as long as the entry lives: the worker makes it before its
    // first receive and lets it go before the connection is closed.
    class Entry {
    public:
        Entry(ConnectionWatch& watch, Socket& socket);
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;
        // The connection is shut down once deadline passes, until another deadline is set.
        void SetDeadline(Clock::time_point deadline);
        // Closes the connection here, so the watch never shuts down a handle being closed (or
        // already given to another connection).
        void CloseConnection();

    private:
        struct Watched {
            Socket* socket;  // nothing once closed through the entry
            Clock::time_point deadline;
        };
        ConnectionWatch& watch_;
        std::list<Watched>::iterator place_;
        friend class ConnectionWatch;
    };

    ConnectionWatch() = default;
    ConnectionWatch(const ConnectionWatch&) = delete;
    ConnectionWatch& operator=(const ConnectionWatch&) = delete;

    // Shuts down the connections whose deadline is before now.
    void EndOverdue(Clock::time_point now);
    // Shuts down every connection under watch, and any that comes under watch afterwards.
    void EndAll();

private:
    std::mutex mutex_;
    std::list<Entry::Watched> watched_;
    bool ending_ = false;
};

}  // namespace tavik::net
