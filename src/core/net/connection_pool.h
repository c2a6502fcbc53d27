#pragma once
// Worker threads for accepted connections: each connection runs on a worker of its own, at most
// a fixed number at once. A worker whose connection ended waits for the next one instead of
// ending, so a caller after caller costs no new thread each (under Wine a new thread costs more
// than a short session). Used by one owning thread; the work itself must watch the listener's
// stop flag, as nothing here stops it.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/net/socket_layer.h"

namespace tavik::net {

class ConnectionPool {
public:
    using Work = std::function<void(Socket& connection)>;

    explicit ConnectionPool(std::size_t limit) : limit_(limit == 0 ? 1 : limit) {}
    ~ConnectionPool() { JoinAll(); }
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // True once fewer than the limit are running; waits up to limit for one to end.
    bool WaitForRoom(std::chrono::milliseconds limit);
    // Runs work on a worker; the connection is closed when the work ends. A fault in the work
    // ends only its own connection.
    void Run(Socket connection, Work work);
    // Lets the work handed over end, then ends every worker.
    void JoinAll();

private:
    struct Job {
        Socket connection;
        Work work;
    };

    void ServeJobs();

    const std::size_t limit_;
    std::mutex mutex_;
    std::condition_variable jobCame_;  // or the pool closes
    std::condition_variable jobEnded_;
    std::deque<Job> jobs_;              // handed over, not yet taken by a worker
    std::vector<std::thread> workers_;  // changed only by the owning thread
    std::size_t busy_ = 0;              // jobs handed over and not yet ended
    std::size_t idle_ = 0;              // workers waiting for a job
    bool closing_ = false;
};

}  // namespace tavik::net
