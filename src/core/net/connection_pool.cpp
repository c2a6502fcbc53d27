#include "core/net/connection_pool.h"

#include <iterator>
#include <utility>

namespace tavik::net {

bool ConnectionPool::WaitForRoom(std::chrono::milliseconds limit) {
    JoinEnded();
    std::unique_lock lock(mutex_);
    return workerEnded_.wait_for(lock, limit, [this] { return running_ < limit_; });
}

void ConnectionPool::Run(Socket connection, Work work) {
    JoinEnded();
    Worker* worker = nullptr;
    {
        std::lock_guard lock(mutex_);
        worker = &workers_.emplace_back();
        ++running_;
    }
    try {
        worker->thread =
            std::thread([this, worker, connection = std::move(connection), work = std::move(work)]() mutable {
                try {
                    work(connection);
                } catch (...) {
                    // A fault while serving this connection; the others go on.
                }
                connection.Close();
                std::lock_guard lock(mutex_);
                worker->ended = true;
                --running_;
                workerEnded_.notify_all();
            });
    } catch (...) {
        std::lock_guard lock(mutex_);
        workers_.pop_back();
        --running_;
        throw;
    }
}

void ConnectionPool::JoinEnded() {
    std::list<Worker> ended;
    {
        std::lock_guard lock(mutex_);
        for (auto it = workers_.begin(); it != workers_.end();) {
            auto next = std::next(it);
            if (it->ended) ended.splice(ended.end(), workers_, it);
            it = next;
        }
    }
    for (Worker& worker : ended) worker.thread.join();
}

void ConnectionPool::JoinAll() {
    for (Worker& worker : workers_) {
        if (worker.thread.joinable()) worker.thread.join();
    }
    std::lock_guard lock(mutex_);
    workers_.clear();
}

}  // namespace tavik::net
