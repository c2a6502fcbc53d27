#pragma once
// Messages whose file could not be written (a full disk, a missing folder) stay in the list
// marked unwritten; once writing works again their files are written a few at a time (with each
// new message written, and on the window's retry timer, soon while writing works and every 30 s
// while it does not), and all at the end of the session. A few at a time: after a long outage
// thousands may wait, and the window answers keys and stores new messages between the batches.

#include <cstddef>
#include <limits>

#include "core/store/message_folder.h"
#include "core/store/message_history.h"

namespace tavik::store {

// Kept messages written along with each new message that was written.
inline constexpr std::size_t kUnwrittenWithEachArrival = 4;

struct UnwrittenProgress {
    std::size_t written = 0;
    std::size_t left = 0;     // still unwritten
    bool failed = false;      // stopped at a write that failed again
};

// Writes the files of the unwritten entries, oldest first, at most `most` of them, and stops at
// the first that fails again (the cause is most likely still there).
UnwrittenProgress WriteUnwrittenMessages(MessageHistory& history, MessageFolder& folder,
                                         std::size_t most = std::numeric_limits<std::size_t>::max());

}  // namespace tavik::store
