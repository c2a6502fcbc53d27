#pragma once
// The older stored messages of a start-up load, read on a thread of their own, newest first, and
// handed to the window's thread in batches: one wake-up while batches wait, as the hand-off
// queue does for arrivals. The newest older ones come first, so stepping back finds them soon.

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "core/store/message_folder.h"
#include "core/store/message_history.h"
#include "core/store/side_by_side_reader.h"

namespace tavik::store {

struct OlderMessages {
    std::vector<MessageEntry> entries;  // oldest first; all older than every earlier batch
    std::uint32_t filesCovered = 0;     // files this batch stands for, read or not
    bool skippedMalformed = false;      // one of them had no sender line, or the reading failed
};

class OlderMessagesLoad {
public:
    // files: newest first. wake is called on the reading thread when a batch waits and the
    // window's thread has not been told since it last took.
    OlderMessagesLoad(std::vector<FileToRead> files, std::function<void()> wake);

    // The reading thread: reads the files a stretch at a time until all are covered or Stop.
    void Run(MessageFolder& folder);
    // Any thread: Run ends after the stretch it is reading.
    void Stop() { stop_ = true; }

    // The window's thread: what waits, in the order to prepend; never waits for the reading.
    std::vector<OlderMessages> Take();

private:
    void Hand(OlderMessages batch);

    const std::vector<FileToRead> files_;
    const std::function<void()> wake_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::deque<OlderMessages> waiting_;
    bool wakePending_ = false;
};

}  // namespace tavik::store
