#pragma once
// Delete to the trash, restore (last deleted first), empty the trash, delete everything.
// The UI applies the results: text boxes, RefreshStatus, the restore button (1010) and the
// minimise when the list became empty.

#include <cstdint>
#include <string>
#include <vector>

#include "core/settings/settings.h"
#include "core/store/message_folder.h"
#include "core/store/message_history.h"

namespace tavik::store {

// Largest trash record read back; records are a message plus a few bytes.
inline constexpr std::size_t kMaxTrashRecordBytes = 64u * 1024u * 1024u;

struct DeleteResult {
    bool deleted = false;         // an entry left the list (false: empty, just arrived, or no record)
    bool recordFailed = false;    // its trash record could not be written: the message stays, say so
    bool recordWritten = false;   // it can be restored
    bool showCurrent = false;     // show current()'s text and sender
    bool clearBoxes = false;      // the list became empty: empty controls 1000 and 1002
    bool minimize = false;        // ... and MinimizeWhenLast asks to hide the window
    bool restoreEnabled = false;  // state of the restore button
};

struct RestoreResult {
    bool restored = false;        // an entry came back and is current
    bool trashEmptied = false;    // the record was missing or empty: the whole trash went
    bool showCurrent = false;     // show current()'s text and sender (when it exists)
    bool restoreEnabled = false;  // state of the restore button
    bool fileFailed = false;      // its file could not be written again: it stays in the list,
                                  // unwritten, and is written with the next write that works
};

struct DeleteAllResult {
    bool trashEmptied = false;    // restore button off
    bool historyCleared = false;  // the list is empty now: empty the boxes, refresh
    bool showCurrent = false;     // messages that came while the question was open are left: show the newest
    bool minimize = false;        // MinimizeWhenLast, when the list became empty
};

// What the delete-all question is about, taken when it is shown: the entries in the list and
// the files of those that left it through the count limit. Whatever comes while it is open
// stays, and so do files that were never in the list (unreadable ones the start skipped).
struct DeleteAllQuestion {
    std::uint64_t lastSerialAsked = 0;  // also of those that leave through the limit meanwhile
};
DeleteAllQuestion PrepareDeleteAll(const MessageHistory& history);

// When nothing (deleted) is held, delete-all does nothing and asks nothing.
bool DeleteAllNeedsQuestion(const MessageHistory& history);

// A delete within one second of an arrival, while that newest message is current, is
// ignored (unsigned 32-bit tick difference).
DeleteResult DeleteCurrentMessage(MessageHistory& history, const Settings& settings, MessageFolder& folder,
                                  std::uint32_t nowTicks);

RestoreResult RestoreDeletedMessage(MessageHistory& history, const Settings& settings, MessageFolder& folder);

// Deletes every file of the trash folder; trashCount becomes 0 (restore button off).
void EmptyTrash(MessageHistory& history, MessageFolder& folder, const std::string& dataDirectory);

// After the UI's question was answered Yes: empties the trash, deletes the entries the
// question was about and their files, and the files of the entries that had left the list
// through MessageCountLimit then. These deletions cannot be undone.
DeleteAllResult DeleteAllMessages(MessageHistory& history, const Settings& settings, MessageFolder& folder,
                                  const DeleteAllQuestion& asked);

// Temporary files of writes that a crash interrupted, left in the messages folder: removed at start.
void RemoveInterruptedWrites(MessageFolder& folder, const std::string& dataDirectory);

}  // namespace tavik::store
