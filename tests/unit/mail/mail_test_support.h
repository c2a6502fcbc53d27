#pragma once
// A mail check run with its reports written down, and a loopback server that plays a script.

#include <netinet/tcp.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/mail/mail_check.h"
#include "net/loopback_peer.h"

namespace tavik::mailbox::testing {

// Progress codes as numbers, the result code as "counted N", announcements in words.
class ReportLog {
public:
    MailCheckReports Reports() {
        return {[this](std::uint32_t code) {
                    Add((code & 0xFFFF) == 0 ? "counted " + std::to_string(code >> 16) : std::to_string(code));
                },
                [this](const MailAnnouncement& shown) {
                    static const char* const kNames[] = {"nothing",       "new mail",       "network failed",
                                                         "server failed", "login rejected", "count failed",
                                                         "remove"};
                    std::string count = shown.notice == MailNotice::NewMail ? std::to_string(shown.count) + " " : "";
                    Add(kNames[static_cast<int>(shown.notice)] + (" " + count) + shown.text +
                        (shown.playSound ? " +sound" : ""));
                }};
    }
    std::vector<std::string> Events() {
        std::lock_guard lock(mutex_);
        return events_;
    }

private:
    void Add(std::string event) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::mutex mutex_;
    std::vector<std::string> events_;
};

inline MailCheckRequest Account(std::uint16_t port, std::uint32_t serverType, std::string password = "secret") {
    return {"tavik", std::move(password), "127.0.0.1:" + std::to_string(port), serverType, true};
}

// One reply: its segments go out apart, as separate TCP segments.
using Reply = std::vector<std::string>;

// Accepts one connection on 127.0.0.1, sends the first reply at once and the next one for each
// line the client sends, and closes at a line it has no reply for or once the client has gone.
// Keeps what the client sent.
class ScriptedServer {
public:
    explicit ScriptedServer(std::vector<Reply> replies) : replies_(std::move(replies)) {
        sockaddr_in local = net::testing::Loopback(0);
        ::bind(listener_.get(), reinterpret_cast<sockaddr*>(&local), sizeof local);
        ::listen(listener_.get(), 1);
        port_ = net::testing::PortOf(listener_.get());
        thread_ = std::thread([this] { Serve(); });
    }
    ~ScriptedServer() {
        ::shutdown(listener_.get(), SHUT_RDWR);  // ends a wait for a connection that never came
        thread_.join();
    }
    std::uint16_t Port() const { return port_; }
    std::string Received() {
        std::lock_guard lock(mutex_);
        return received_;
    }
    std::size_t SegmentsSent() const { return segmentsSent_; }

private:
    void Serve() {
        net::testing::Fd client(::accept(listener_.get(), nullptr, nullptr));
        int on = 1;
        ::setsockopt(client.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        for (std::size_t next = 0, lines = 0;;) {
            for (; next < replies_.size() && next <= lines; ++next) {
                for (const std::string& segment : replies_[next]) {
                    if (!net::testing::SendAll(client.get(), segment)) return;
                    ++segmentsSent_;
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
            }
            char buffer[4096];
            ssize_t count = ::recv(client.get(), buffer, sizeof buffer, 0);
            if (count <= 0) return;
            std::lock_guard lock(mutex_);
            received_.append(buffer, static_cast<std::size_t>(count));
            lines = static_cast<std::size_t>(std::count(received_.begin(), received_.end(), '\n'));
            if (lines >= replies_.size()) return;
        }
    }

    std::vector<Reply> replies_;
    net::testing::Fd listener_{::socket(AF_INET, SOCK_STREAM, 0)};
    std::uint16_t port_ = 0;
    std::mutex mutex_;
    std::string received_;
    std::atomic<std::size_t> segmentsSent_{0};
    std::thread thread_;
};

}  // namespace tavik::mailbox::testing
