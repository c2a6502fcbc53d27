#include "core/store/message_history.h"

#include <algorithm>

namespace tavik::store {

const MessageEntry* MessageHistory::oldest() const { return entries_.empty() ? nullptr : &entries_.front(); }

const MessageEntry* MessageHistory::newest() const { return entries_.empty() ? nullptr : &entries_.back(); }

const MessageEntry* MessageHistory::current() const {
    return currentPosition_ == 0 ? nullptr : &entries_[currentPosition_ - 1];
}

const MessageEntry* MessageHistory::at(std::uint32_t position) const {
    if (position <= olderToCome_ || position - olderToCome_ > entries_.size()) return nullptr;
    return &entries_[position - olderToCome_ - 1];
}

std::uint32_t MessageHistory::count() const {
    return entries_.empty() ? 0 : static_cast<std::uint32_t>(entries_.size()) + olderToCome_;
}

void MessageHistory::Append(MessageEntry entry) {
    entry.serial = nextSerial_++;
    mayHaveUnwritten_ |= entry.unwritten.has_value();
    entries_.push_back(std::move(entry));
    currentPosition_ = static_cast<std::uint32_t>(entries_.size());
}

bool MessageHistory::TrimOldest(std::uint32_t limit) {
    if (olderToCome_ > 0) {
        trimsWaiting_.push_back(limit);
        return false;
    }
    // A limit of 0 would drop the message that has just arrived and is shown.
    const std::uint32_t effective = std::max<std::uint32_t>(limit, 1);
    if (count() <= effective) return false;
    DropOldest(1);
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
    if (current() == nullptr || currentPosition_ >= entries_.size()) return false;
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
    currentPosition_ = static_cast<std::uint32_t>(entries_.size());
    return true;
}

bool MessageHistory::ShowAt(std::uint32_t position) {
    if (at(position) == nullptr) return false;
    currentPosition_ = position - olderToCome_;
    return true;
}

std::optional<MessageEntry> MessageHistory::RemoveCurrent() {
    if (current() == nullptr) return std::nullopt;
    const std::size_t index = currentPosition_ - 1;
    MessageEntry removed = std::move(entries_[index]);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    // The newer neighbour now stands at the same position; without one, step back.
    currentPosition_ = std::min(currentPosition_, static_cast<std::uint32_t>(entries_.size()));
    return removed;
}

std::uint32_t MessageHistory::InsertAt(std::uint32_t k, MessageEntry entry) {
    const std::uint32_t here = static_cast<std::uint32_t>(entries_.size());
    const std::uint32_t position = std::clamp<std::uint32_t>(k > olderToCome_ ? k - olderToCome_ : 1, 1, here + 1);
    entry.serial = nextSerial_++;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(position - 1), std::move(entry));
    currentPosition_ = position;
    return currentPosition();
}

void MessageHistory::ExpectOlder(std::uint32_t files) { olderToCome_ = files; }

void MessageHistory::PrependOlder(std::vector<MessageEntry> olderFirst, std::uint32_t filesCovered) {
    // Serials rise in the order entries join, which for these is oldest first.
    for (MessageEntry& entry : olderFirst) entry.serial = nextSerial_++;
    entries_.insert(entries_.begin(), std::make_move_iterator(olderFirst.begin()),
                    std::make_move_iterator(olderFirst.end()));
    currentPosition_ = currentPosition_ == 0 ? static_cast<std::uint32_t>(entries_.size())
                                             : currentPosition_ + static_cast<std::uint32_t>(olderFirst.size());
    olderToCome_ -= std::min(filesCovered, olderToCome_);
    if (olderToCome_ == 0) TrimAsIfLoaded();
}

void MessageHistory::TrimAsIfLoaded() {
    // The arrivals are the newest entries; before them stood what the load brought. Each trim
    // asked meanwhile drops the oldest when the list it saw was over its limit.
    std::size_t counted = entries_.size() - std::min(entries_.size(), trimsWaiting_.size());
    std::size_t drops = 0;
    for (std::uint32_t limit : trimsWaiting_) {
        if (++counted > std::max<std::uint32_t>(limit, 1)) {
            --counted;
            ++drops;
        }
    }
    trimsWaiting_.clear();
    drops = std::min(drops, entries_.size());
    DropOldest(drops);
    // As at a single trim: a current entry that left gives its place to the oldest left.
    const auto dropped = static_cast<std::uint32_t>(drops);
    currentPosition_ = currentPosition_ > dropped ? currentPosition_ - dropped : (entries_.empty() ? 0 : 1);
}

void MessageHistory::DropOldest(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (entries_[i].filePath) trimmedFiles.push_back({entries_[i].serial, std::move(*entries_[i].filePath)});
    }
    entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(count));
}

void MessageHistory::SetCurrentFilePath(std::optional<std::string> filePath) {
    if (current() == nullptr) return;
    entries_[currentPosition_ - 1].filePath = std::move(filePath);
}

void MessageHistory::SetCurrentUnwritten(UnwrittenFile file) {
    if (current() == nullptr) return;
    entries_[currentPosition_ - 1].unwritten = std::move(file);
    mayHaveUnwritten_ = true;
}

std::vector<MessageEntry*> MessageHistory::Unwritten() {
    std::vector<MessageEntry*> found;
    if (!mayHaveUnwritten_) return found;
    for (MessageEntry& entry : entries_) {
        if (entry.unwritten) found.push_back(&entry);
    }
    mayHaveUnwritten_ = !found.empty();
    return found;
}

void MessageHistory::Clear() {
    entries_.clear();
    currentPosition_ = 0;
    olderToCome_ = 0;
    trimsWaiting_.clear();
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
    currentPosition_ = static_cast<std::uint32_t>(entries_.size());
    return removed;
}

}  // namespace tavik::store
