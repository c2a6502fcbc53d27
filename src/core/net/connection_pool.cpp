#include "core/net/connection_pool.h"

#include <utility>

namespace tavik::net {

bool ConnectionPool::WaitForRoom(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return jobEnded_.wait_for(lock, limit, [this] { return busy_ < limit_; });
}

void ConnectionPool::Run(Socket connection, Work work) {
    std::lock_guard lock(mutex_);
    jobs_.push_back({std::move(connection), std::move(work)});
    ++busy_;
    if (idle_ >= jobs_.size()) {
        jobCame_.notify_one();
        return;
    }
    try {
        workers_.emplace_back([this] { ServeJobs(); });
    } catch (...) {
        if (!workers_.empty()) return;  // a worker takes it once its connection ends
        jobs_.pop_back();
        --busy_;
        throw;
    }
}

void ConnectionPool::ServeJobs() {
    std::unique_lock lock(mutex_);
    while (true) {
        ++idle_;
        jobCame_.wait(lock, [this] { return !jobs_.empty() || closing_; });
        --idle_;
        if (jobs_.empty()) return;  // closing, and nothing left to serve
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        try {
            job.work(job.connection);
        } catch (...) {
            // A fault while serving this connection; the others go on.
        }
        job.connection.Close();
        lock.lock();
        --busy_;
        jobEnded_.notify_all();
    }
}

void ConnectionPool::JoinAll() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    jobCame_.notify_all();
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();
    std::lock_guard lock(mutex_);
    closing_ = false;  // the owner may serve again
}

}  // namespace tavik::net
