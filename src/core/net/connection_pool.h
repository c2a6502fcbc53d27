#pragma once
// Worker threads for accepted connections: each connection runs on a thread of its own, at
// most a fixed number at once. Used by one owning thread; the work itself must watch the
// listener's stop flag, as nothing here stops it.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

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
    // Runs work on a new worker; the connection is closed when the work ends. A fault in the
    // work ends only its own connection.
    void Run(Socket connection, Work work);
    // Waits for every worker to end.
    void JoinAll();

private:
    struct Worker {
        std::thread thread;
        bool ended = false;  // guarded by mutex_
    };

    void JoinEnded();

    const std::size_t limit_;
    std::mutex mutex_;
    std::condition_variable workerEnded_;
    std::list<Worker> workers_;  // list: a worker keeps the address of its own entry
    std::size_t running_ = 0;
};

}  // namespace tavik::net
