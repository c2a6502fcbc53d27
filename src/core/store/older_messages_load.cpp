#include "core/store/older_messages_load.h"

#include <algorithm>
#include <utility>

#include "core/store/message_file.h"

namespace tavik::store {
namespace {

// The first stretch is short, so the messages just before the newest are there soon; later
// ones are longer, so the reading keeps two files under way, yet short enough that a stop is
// seen soon. A stretch holds at most 16 MB.
constexpr std::size_t kFirstStretchFiles = 64;
constexpr std::size_t kStretchFiles = 256;
constexpr std::size_t kStretchBytes = std::size_t{16} << 20;

}  // namespace

OlderMessagesLoad::OlderMessagesLoad(std::vector<FileToRead> files, std::function<void()> wake)
    : files_(std::move(files)), wake_(std::move(wake)) {}

void OlderMessagesLoad::Run(MessageFolder& folder) {
    std::size_t first = 0;
    std::size_t covered = 0;  // files of the batches handed
    try {
        for (std::size_t most = kFirstStretchFiles; first < files_.size() && !stop_; most = kStretchFiles) {
            std::vector<FileToRead> stretch;
            for (std::size_t bytes = 0; first < files_.size() && stretch.size() < most && bytes < kStretchBytes;
                 ++first) {
                stretch.push_back(files_[first]);
                bytes += files_[first].maxBytes;
            }
            std::vector<std::optional<std::string>> contents = ReadSideBySide(folder, stretch);
            OlderMessages batch;
            batch.filesCovered = static_cast<std::uint32_t>(stretch.size());
            // Read newest first, handed oldest first.
            for (std::size_t i = stretch.size(); i-- > 0;) {
                if (!contents[i] || contents[i]->empty()) continue;
                std::optional<MessageFileContent> content = TakeMessageFile(std::move(*contents[i]));
                if (!content) {
                    // Cut short or not ours: keep it on disk and let the others load.
                    batch.skippedMalformed = true;
                    continue;
                }
                batch.entries.push_back(MessageEntry{std::move(content->text), std::move(content->sender),
                                                     std::move(stretch[i].path), content->highPriority});
            }
            Hand(std::move(batch));
            covered = first;
        }
    } catch (...) {
        // Out of memory or threads: the files left are given up, and the user is told.
        OlderMessages rest;
        rest.filesCovered = static_cast<std::uint32_t>(files_.size() - covered);
        rest.skippedMalformed = true;
        Hand(std::move(rest));
    }
}

void OlderMessagesLoad::Hand(OlderMessages batch) {
    bool wakeNow = false;
    {
        std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(batch));
        wakeNow = !wakePending_;
        wakePending_ = true;
    }
    // Outside the lock: the wake-up may be a call into the window system.
    if (wakeNow && wake_) wake_();
}

std::vector<OlderMessages> OlderMessagesLoad::Take() {
    std::lock_guard lock(mutex_);
    std::vector<OlderMessages> taken(std::make_move_iterator(waiting_.begin()),
                                     std::make_move_iterator(waiting_.end()));
    waiting_.clear();
    wakePending_ = false;
    return taken;
}

}  // namespace tavik::store
