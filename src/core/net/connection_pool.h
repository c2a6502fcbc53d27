#pragma once
// Worker threads for accepted connections: each connection runs on a worker of its own, at most
// a fixed number at once. A worker whose connection ended takes the next one instead of ending,
// so caller after caller costs no new thread each (under Wine a new thread costs more than a
// short session). Used by one owning thread; the work itself must watch the listener's stop
// flag, as nothing here stops it.
//
// One host must not hold every worker: no address runs more than half of them (its share), and
// a connection that waits for a worker may evict one that stands in its way and has been silent
// for a while. The work learns of that in its waits for bytes and ends as at its time-out.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

#include "core/net/socket_layer.h"

namespace tavik::net {

class ConnectionPool {
public:
    using Clock = std::chrono::steady_clock;
    using Work = std::function<void(Socket& connection)>;

    explicit ConnectionPool(std::size_t limit) : limit_(limit == 0 ? 1 : limit), share_(limit_ > 1 ? limit_ / 2 : 1) {}
    ~ConnectionPool() { JoinAll(); }
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // Runs work on a worker once one is free and fewer than a share of connections from address
    // run; the connection is closed when the work ends. A fault in the work ends only its own
    // connection. False, and the connection closed unanswered, when address already has a share
    // running and a share waiting: one host's flood must not fill the queue for everyone.
    bool Run(Socket connection, std::uint32_t address, Work work);
    // True once fewer than most connections wait for a worker; waits up to limit for one to start.
    bool WaitForQueueRoom(std::size_t most, std::chrono::milliseconds limit);
    // For each connection that waits and cannot start: evicts the connection that stands in its
    // way (one from its own address when that holds its share, else any) and has been silent
    // longest, provided that is at least leastSilence.
    void MakeRoom(Clock::time_point now, Clock::duration leastSilence);
    // Lets the work handed over end, then ends every worker.
    void JoinAll();

    // For the work's waits for bytes on its connection: between the two calls the connection is
    // silent and may be evicted.
    void WaitStarts(const Socket& connection);
    void WaitEnds(const Socket& connection);
    // True once the connection was evicted: its work ends as if its time-out had passed.
    bool Evicted(const Socket& connection);

private:
    struct Job {
        Socket connection;
        std::uint32_t address = 0;
        Work work;
    };
    struct Running {
        const Socket* connection;
        std::uint32_t address;
        bool waiting = false;  // for bytes, silent since silentSince
        Clock::time_point silentSince{};
        bool evicted = false;
    };

    void ServeJobs();
    // With mutex_ held:
    std::deque<Job>::iterator FirstStartable();
    std::size_t RunningFrom(std::uint32_t address) const;
    Running* Find(const Socket& connection);
    Running* LongestSilent(Clock::time_point now, Clock::duration leastSilence, const std::uint32_t* address);

    const std::size_t limit_;
    const std::size_t share_;
    std::mutex mutex_;
    std::condition_variable changed_;   // a job came or ended, or the pool closes
    std::deque<Job> jobs_;              // handed over, not yet taken by a worker
    std::list<Running> running_;        // taken by a worker
    std::vector<std::thread> workers_;  // changed only by the owning thread
    std::size_t idle_ = 0;              // workers waiting for a job
    bool closing_ = false;
};

}  // namespace tavik::net
