#pragma once
// The start-up load of the stored messages as the main window runs it: the newest is read at
// once, the older ones on a thread of their own that joins them to the history in batches
// (kStoredMessagesRead). Until they are all here, the steps that need them (to the oldest,
// delete, restore, delete all) wait, and then run in the order taken.

#include <windows.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/store/history_loader.h"
#include "core/store/message_folder.h"
#include "core/store/message_history.h"
#include "store/older_messages_thread.h"

namespace tavik::shell {

// The user's steps through the history and its trash.
enum class Step { Older, Newer, Oldest, Newest, Delete, Restore, DeleteAll };

class StoredMessagesLoad {
public:
    // The window its messages and timers go to; set once it exists.
    void Attach(HWND mainWindow) { mainWindow_ = mainWindow; }

    // Reads the newest message into history (expected empty); true when the load is over already,
    // otherwise the reading of the older ones starts at the first kStoredMessagesRead.
    bool Begin(store::MessageHistory& history, store::MessageFolder& folder, const std::string& dataDirectory);
    // On kStoredMessagesRead: starts the reading, or joins what was read to history. True when the
    // load is over now.
    bool TakeRead(store::MessageHistory& history);
    // At exit: the reading stops (a bounded wait) and the waiting steps are forgotten.
    void Stop();

    // Some stored file could not be read: true once, to tell the user when the load is over.
    bool TakeSkippedMalformed() { return std::exchange(skippedMalformed_, false); }

    // Whether step must wait for the load (or for an earlier step that waits).
    bool MustWait(Step step, const store::MessageHistory& history) const;
    void Defer(Step step) { steps_.push_back(step); }
    // The next step that waited, in the order taken; nothing when none is left.
    std::optional<Step> NextWaitingStep();

private:
    HWND mainWindow_ = nullptr;
    std::vector<store::FileToRead> olderFiles_;  // until the reading starts
    std::unique_ptr<store::OlderMessagesThread> reading_;
    bool skippedMalformed_ = false;
    std::deque<Step> steps_;
};

}  // namespace tavik::shell
