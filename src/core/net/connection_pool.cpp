#include "core/net/connection_pool.h"

#include <map>
#include <utility>

namespace tavik::net {

bool ConnectionPool::Run(Socket connection, std::uint32_t address, Work work) {
    std::lock_guard lock(mutex_);
    if (RunningFrom(address) >= share_) {
        std::size_t waiting = 0;
        for (const Job& job : jobs_) waiting += job.address == address ? 1 : 0;
        if (waiting >= share_) return false;
    }
    jobs_.push_back({std::move(connection), address, std::move(work)});
    changed_.notify_all();
    if (idle_ >= jobs_.size() || workers_.size() >= limit_) return true;
    try {
        workers_.emplace_back([this] { ServeJobs(); });
    } catch (...) {
        if (!workers_.empty()) return true;  // a worker takes it once its connection ends
        jobs_.pop_back();
        throw;
    }
    return true;
}

bool ConnectionPool::WaitForQueueRoom(std::size_t most, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return jobs_.size() < most; });
}

void ConnectionPool::MakeRoom(Clock::time_point now, Clock::duration leastSilence) {
    std::lock_guard lock(mutex_);
    // Played through in the order the workers take the jobs: what each address will hold and
    // how many workers stay free, counting the evicted connections as already gone.
    std::map<std::uint32_t, std::size_t> holding;
    for (const Running& running : running_) ++holding[running.address];
    std::size_t freeWorkers = limit_ - running_.size();
    std::list<Running*> onTheirWay;
    for (Running& running : running_) {
        if (running.evicted) onTheirWay.push_back(&running);
    }
    for (const Job& job : jobs_) {
        const bool shareFull = holding[job.address] >= share_;
        if (freeWorkers > 0 && !shareFull) {
            --freeWorkers;
            ++holding[job.address];
            continue;
        }
        // Its own connections stand in its way when its address holds its share; else any.
        Running* room = nullptr;
        for (auto it = onTheirWay.begin(); it != onTheirWay.end(); ++it) {
            if (!shareFull || (*it)->address == job.address) {
                room = *it;
                onTheirWay.erase(it);
                break;
            }
        }
        if (room == nullptr) {
            room = LongestSilent(now, leastSilence, shareFull ? &job.address : nullptr);
            if (room == nullptr) continue;
            room->evicted = true;
        }
        --holding[room->address];
        ++holding[job.address];
    }
}

ConnectionPool::Running* ConnectionPool::LongestSilent(Clock::time_point now, Clock::duration leastSilence,
                                                       const std::uint32_t* address) {
    Running* longest = nullptr;
    for (Running& running : running_) {
        if (running.evicted || !running.waiting || now - running.silentSince < leastSilence) continue;
        if (address != nullptr && running.address != *address) continue;
        if (longest == nullptr || running.silentSince < longest->silentSince) longest = &running;
    }
    return longest;
}

void ConnectionPool::WaitStarts(const Socket& connection) {
    std::lock_guard lock(mutex_);
    if (Running* running = Find(connection)) {
        running->waiting = true;
        running->silentSince = Clock::now();
    }
}

void ConnectionPool::WaitEnds(const Socket& connection) {
    std::lock_guard lock(mutex_);
    if (Running* running = Find(connection)) running->waiting = false;
}

bool ConnectionPool::Evicted(const Socket& connection) {
    std::lock_guard lock(mutex_);
    Running* running = Find(connection);
    return running != nullptr && running->evicted;
}

ConnectionPool::Running* ConnectionPool::Find(const Socket& connection) {
    for (Running& running : running_) {
        if (running.connection == &connection) return &running;
    }
    return nullptr;
}

std::size_t ConnectionPool::RunningFrom(std::uint32_t address) const {
    std::size_t count = 0;
    for (const Running& running : running_) count += running.address == address ? 1 : 0;
    return count;
}

std::deque<ConnectionPool::Job>::iterator ConnectionPool::FirstStartable() {
    // Closing, every job is taken: its work sees the stop and ends at once.
    for (auto job = jobs_.begin(); job != jobs_.end(); ++job) {
        if (closing_ || RunningFrom(job->address) < share_) return job;
    }
    return jobs_.end();
}

void ConnectionPool::ServeJobs() {
    std::unique_lock lock(mutex_);
    while (true) {
        ++idle_;
        auto next = jobs_.end();
        changed_.wait(lock, [&] {
            next = FirstStartable();
            return next != jobs_.end() || (closing_ && jobs_.empty());
        });
        --idle_;
        if (next == jobs_.end()) return;  // closing, and nothing left to serve
        Job job = std::move(*next);
        jobs_.erase(next);
        auto running = running_.insert(running_.end(), Running{&job.connection, job.address});
        lock.unlock();
        try {
            job.work(job.connection);
        } catch (...) {
            // A fault while serving this connection; the others go on.
        }
        job.connection.Close();
        lock.lock();
        running_.erase(running);
        changed_.notify_all();
    }
}

void ConnectionPool::JoinAll() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();
    std::lock_guard lock(mutex_);
    closing_ = false;  // the owner may serve again
}

}  // namespace tavik::net
