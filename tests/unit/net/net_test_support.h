#pragma once
// Test doubles for the receiving side: a sink that collects, a receipt sender that records,
// a clock with fixed texts.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/net/receipt_sender.h"
#include "core/reception/incoming_message.h"
#include "core/text/date_time.h"

namespace tavik::net::testing {

struct Delivered {
    std::uint32_t priority = 0;
    IncomingMessage message;
};

class CollectingSink final : public MessageSink {
public:
    void Deliver(std::uint32_t priority, const IncomingMessage& message) override {
        {
            std::lock_guard lock(mutex_);
            delivered_.push_back({priority, message});
            changed_.notify_all();
        }
        // Collecting stands for storing.
        if (message.onStored) message.onStored();
        if (message.onSettled) message.onSettled();
    }

    std::vector<Delivered> All() const {
        std::lock_guard lock(mutex_);
        return delivered_;
    }

    // True once at least count messages have arrived; polls no faster than the sink changes.
    bool WaitForCount(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return delivered_.size() >= count; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Delivered> delivered_;
};

// Takes messages as the window does and holds them unsettled until the test settles them, as a
// window still storing would.
class HoldingSink final : public MessageSink {
public:
    void Deliver(std::uint32_t, const IncomingMessage& message) override {
        std::lock_guard lock(mutex_);
        held_.push_back(message);
        changed_.notify_all();
    }

    bool WaitForCount(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, limit, [&] { return held_.size() >= count; });
    }

    std::vector<IncomingMessage> All() const {
        std::lock_guard lock(mutex_);
        return held_;
    }

    void SettleAll() {
        std::vector<IncomingMessage> settling = All();
        for (const IncomingMessage& message : settling) {
            if (message.onSettled) message.onSettled();
        }
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<IncomingMessage> held_;
};

struct SentReceipt {
    std::string peerAddress;
    std::uint32_t port = 0;
    std::string datagram;
};

class RecordingReceiptSender final : public ReceiptSender {
public:
    void SendReceipt(std::string_view peerAddress, std::uint32_t port, std::string_view datagram) override {
        std::lock_guard lock(mutex_);
        sent_.push_back({std::string(peerAddress), port, std::string(datagram)});
    }
    std::vector<SentReceipt> Sent() const {
        std::lock_guard lock(mutex_);
        return sent_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<SentReceipt> sent_;
};

class FixedClock final : public DateTimeFormatter {
public:
    std::string ArrivalDateLine() const override { return "Tuesday, December 3, 2024, 10:15 AM"; }
    std::string ShortDateTime() const override { return "12/3/2024, 10:15 AM"; }
};

}  // namespace tavik::net::testing
