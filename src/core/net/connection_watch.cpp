#include "core/net/connection_watch.h"

namespace tavik::net {

ConnectionWatch::Entry::Entry(ConnectionWatch& watch, Socket& socket) : watch_(watch) {
    std::lock_guard lock(watch_.mutex_);
    place_ = watch_.watched_.insert(watch_.watched_.end(), {&socket, Clock::time_point::max()});
    if (watch_.ending_) socket.Shutdown();
}

ConnectionWatch::Entry::~Entry() {
    // Under the lock: the watch never shuts down a connection that its owner is closing.
    std::lock_guard lock(watch_.mutex_);
    watch_.watched_.erase(place_);
}

void ConnectionWatch::Entry::SetDeadline(Clock::time_point deadline) {
    std::lock_guard lock(watch_.mutex_);
    place_->deadline = deadline;
}

void ConnectionWatch::Entry::CloseConnection() {
    std::lock_guard lock(watch_.mutex_);
    if (place_->socket == nullptr) return;
    place_->socket->Close();
    place_->socket = nullptr;
}

void ConnectionWatch::EndOverdue(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    for (Entry::Watched& watched : watched_) {
        if (watched.socket != nullptr && watched.deadline < now) watched.socket->Shutdown();
    }
}

void ConnectionWatch::EndAll() {
    std::lock_guard lock(mutex_);
    ending_ = true;
    for (Entry::Watched& watched : watched_) {
        if (watched.socket != nullptr) watched.socket->Shutdown();
    }
}

}  // namespace tavik::net
