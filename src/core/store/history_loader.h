#pragma once
// Loading the stored messages back at start: every "<data>messages\*.qms", in byte order
// of the full path (seconds of arrival, then sender prefix), the newest current.
//
// The window's thread lists the folder once and reads the newest message, so the window can show
// it at once; the older files are read behind it (OlderMessagesLoad) and join the history in batches.

#include <cstdint>
#include <string>
#include <vector>

#include "core/store/message_folder.h"
#include "core/store/message_history.h"
#include "core/store/side_by_side_reader.h"

namespace tavik::store {

struct LoadResult {
    std::uint32_t loaded = 0;       // entries appended
    bool skippedMalformed = false;  // some file had no sender line: tell the user once
};

struct StartOfLoad {
    LoadResult newest;              // what was read at once
    std::vector<FileToRead> older;  // the files left to read, newest first
};

// Lists the messages folder and appends the newest message that loads to the history (expected
// empty), reading a few files at most; the history then expects the files left (ExpectOlder).
// Empty files are left out of them: they are skipped silently, as unreadable ones are.
StartOfLoad LoadNewestMessage(MessageHistory& history, MessageFolder& folder, const std::string& dataDirectory);

// The whole load in one go on the calling thread: the newest, then the older ones. Unreadable and
// empty files are skipped silently; a file without CR LF is skipped, stays on disk, and is
// reported in the result. The message count limit does not apply here.
LoadResult LoadMessageHistory(MessageHistory& history, MessageFolder& folder, const std::string& dataDirectory);

}  // namespace tavik::store
