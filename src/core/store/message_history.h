#pragma once
// The in-memory list of received messages, oldest to newest, with the message shown now.
// Changed only on the user-interface thread (intake, navigation, trash, the start-up load).
// While the start-up load reads the older stored messages behind the newest, the list counts
// them already: count and positions are those the list will have once they are here.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/store/name_copies.h"

namespace tavik::store {

// Where and how the file of a message whose write failed is to be written when writing works again.
struct UnwrittenFile {
    std::string path;                // its name from the arrival second and the sender
    bool highPriorityFlag = false;   // the file's flag
};

struct MessageEntry {
    std::string text;                     // stamped text: date line, CR LF, message text
    std::string sender;                   // the sender as stored (never holds CR or LF)
    std::optional<std::string> filePath;  // full path of the message file; none without a file
    bool highPriority = false;
    // Given by the history when the entry joins it, higher for every later one: tells the
    // entries a question was about from those that came while it was open.
    std::uint64_t serial = 0;
    // Set while its file could not be written (files on, disk full or folder gone).
    std::optional<UnwrittenFile> unwritten;
};

class MessageHistory {
public:
    // Entries, oldest first (of those here); nullptr when the list is empty.
    const MessageEntry* oldest() const;
    const MessageEntry* newest() const;
    const MessageEntry* current() const;
    // 1-based; nullptr outside 1..count and for the older entries still to come.
    const MessageEntry* at(std::uint32_t position) const;

    // Entries here plus the older ones still to come; 0 while none is here.
    std::uint32_t count() const;
    // 1-based position of current, counted from the oldest; 0 when the list is empty.
    std::uint32_t currentPosition() const { return currentPosition_ == 0 ? 0 : currentPosition_ + olderToCome_; }
    bool empty() const { return entries_.empty(); }

    // Millisecond tick count of the latest arrival (also set when the main window is made);
    // guards a delete aimed at a message that has just arrived.
    std::uint32_t lastArrivalTicks = 0;
    // Number of trash records written this run; the next record gets this number.
    std::int32_t trashCount = 0;
    // Where the search for a free name of the next message file starts.
    NameCopies fileNames;
    // The files of the entries that left the list through the count limit this run, oldest
    // first, with the entries' serials: delete-all removes them with the entries it asks about.
    struct TrimmedFile {
        std::uint64_t serial = 0;
        std::string path;
    };
    std::vector<TrimmedFile> trimmedFiles;

    // Appends after the newest; the entry becomes newest and current (position = count).
    void Append(MessageEntry entry);

    // Drops the oldest entry when count exceeds the limit (a limit below 1 acts as 1), at
    // most one per call. Its file is not touched. Returns whether an entry left. While older
    // entries are still to come the oldest is not here: the drop waits for them, and then
    // leaves the list as if they had been here at the call.
    bool TrimOldest(std::uint32_t limit);

    // The start-up load: `files` older stored messages will follow what is here, as batches of
    // entries that each go before all others. A batch covers some of those files (the ones
    // that could not be read give no entry); the load ends when all are covered.
    void ExpectOlder(std::uint32_t files);
    // Entries oldest first, all older than those here; the current entry stays current (with
    // none, the newest becomes current).
    void PrependOlder(std::vector<MessageEntry> olderFirst, std::uint32_t filesCovered);
    // Files of the start-up load not yet covered; 0 once it ended.
    std::uint32_t olderToCome() const { return olderToCome_; }
    // Whether the entry before the current one is here.
    bool olderIsHere() const { return currentPosition_ > 1; }

    // Navigation; each returns whether the UI must show the current message and refresh.
    bool ShowOlder();
    bool ShowNewer();
    bool ShowOldest();
    bool ShowNewest();
    // Makes the entry at position (as currentPosition counts) current; false when it is not here.
    bool ShowAt(std::uint32_t position);

    // Takes the current entry out: its newer neighbour takes its place and becomes current
    // at the same position; when it was the newest, the older one becomes current. Returns
    // the removed entry, nullopt when the list is empty.
    std::optional<MessageEntry> RemoveCurrent();

    // Puts an entry back so that it is the k-th (k below 1 acts as 1; beyond count it is
    // appended); it becomes current. Returns its position.
    std::uint32_t InsertAt(std::uint32_t k, MessageEntry entry);

    // Sets the file path of the current entry (after its file was rewritten or lost).
    void SetCurrentFilePath(std::optional<std::string> filePath);
    // Marks the current entry as one whose file is still to be written.
    void SetCurrentUnwritten(UnwrittenFile file);

    // The entries whose file is still to be written, oldest first; none without a scan while
    // no entry was ever marked since the last scan that found none.
    std::vector<MessageEntry*> Unwritten();

    // Empties the list and forgets a running load; trashCount and lastArrivalTicks stay.
    void Clear();

    // The serial of the entry that joined last (0 before any did).
    std::uint64_t lastSerial() const { return nextSerial_ - 1; }
    // Takes out every entry whose serial is at most serial; the newest left becomes current.
    // Returns the entries taken out.
    std::vector<MessageEntry> RemoveUpToSerial(std::uint64_t serial);

private:
    std::uint64_t nextSerial_ = 1;
    // A deque: the oldest leaves at every arrival once the list is full, at no cost that grows with the limit.
    std::deque<MessageEntry> entries_;
    // Among the entries here, 1-based; 0 when there are none.
    std::uint32_t currentPosition_ = 0;
    std::uint32_t olderToCome_ = 0;
    // The limit of every trim that waits for the load to end, in the order asked.
    std::vector<std::uint32_t> trimsWaiting_;
    // Some entry may be unwritten: set when one is marked, cleared by a scan that finds none.
    bool mayHaveUnwritten_ = false;

    void TrimAsIfLoaded();
    void DropOldest(std::size_t count);
};

}  // namespace tavik::store
