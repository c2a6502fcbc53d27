#pragma once
// Loading the stored messages back at start: every "<data>messages\*.qms", in byte order
// of the full path (seconds of arrival, then sender prefix), the newest current.

#include <cstdint>
#include <string>

#include "core/store/message_folder.h"
#include "core/store/message_history.h"

namespace tavik::store {

struct LoadResult {
    std::uint32_t loaded = 0;       // entries appended
    bool skippedMalformed = false;  // some file had no sender line: tell the user once
};

// Appends to the history (expected empty). Unreadable and empty files are skipped
// silently; a file without CR LF is skipped, stays on disk, and is reported in the result.
// The message count limit does not apply here.
LoadResult LoadMessageHistory(MessageHistory& history, MessageFolder& folder, const std::string& dataDirectory);

}  // namespace tavik::store
