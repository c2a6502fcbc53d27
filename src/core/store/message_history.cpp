#include "core/store/message_history.h"

#include <algorithm>

namespace tavik::store {

const MessageEntry* MessageHistory::oldest() const { return entries_.empty() ? nullptr : &entries_.front(); }

const MessageEntry* MessageHistory::newest() const { return entries_.empty() ? nullptr : &entries_.back(); }

const MessageEntry* MessageHistory::current() const { return at(currentPosition_); }

const MessageEntry* MessageHistory::at(std::uint32_t position) const {
    if (position < 1 || position > entries_.size()) return nullptr;
    return &entries_[position - 1];
}

void MessageHistory::Append(MessageEntry entry) {
    entry.serial = nextSerial_++;
    entries_.push_back(std::move(entry));
    currentPosition_ = count();
}

bool MessageHistory::TrimOldest(std::uint32_t limit) {
    // A limit of 0 would drop the message that has just arrived and is shown.
    const std::uint32_t effective = std::max<std::uint32_t>(limit, 1);
    if (count() <= effective) return false;
    entries_.erase(entries_.begin());
    // The entries behind the oldest move one place forward; when the oldest itself was
    // current, its successor (now the oldest) is.
    if (currentPosition_ > 1) --currentPosition_;
    return true;
}

bool MessageHistory::ShowOlder() {
    if (current() == nullptr || currentPosition_ <= 1) return false;
    --currentPosition_;
    return true;
}

bool MessageHistory::ShowNewer() {
    if (current() == nullptr || currentPosition_ >= count()) return false;
    ++currentPosition_;
    return true;
}

bool MessageHistory::ShowOldest() {
    if (entries_.empty()) return false;
    currentPosition_ = 1;
    return true;
}

bool MessageHistory::ShowNewest() {
    if (entries_.empty()) return false;
    currentPosition_ = count();
    return true;
}

std::optional<MessageEntry> MessageHistory::RemoveCurrent() {
    if (current() == nullptr) return std::nullopt;
    const std::size_t index = currentPosition_ - 1;
    MessageEntry removed = std::move(entries_[index]);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    // The newer neighbour now stands at the same position; without one, step back.
    if (currentPosition_ > count()) currentPosition_ = count();
    return removed;
}

std::uint32_t MessageHistory::InsertAt(std::uint32_t k, MessageEntry entry) {
    const std::uint32_t position = std::clamp<std::uint32_t>(k, 1, count() + 1);
    entry.serial = nextSerial_++;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(position - 1), std::move(entry));
    currentPosition_ = position;
    return position;
}

void MessageHistory::SetCurrentFilePath(std::optional<std::string> filePath) {
    if (current() == nullptr) return;
    entries_[currentPosition_ - 1].filePath = std::move(filePath);
}

void MessageHistory::Clear() {
    entries_.clear();
    currentPosition_ = 0;
}

std::vector<MessageEntry> MessageHistory::RemoveUpToSerial(std::uint64_t serial) {
    std::vector<MessageEntry> removed;
    std::deque<MessageEntry> kept;
    for (MessageEntry& entry : entries_) {
        if (entry.serial <= serial) {
            removed.push_back(std::move(entry));
        } else {
            kept.push_back(std::move(entry));
        }
    }
    entries_ = std::move(kept);
    currentPosition_ = count();
    return removed;
}

}  // namespace tavik::store
