#pragma once
// Messages whose file could not be written (a full disk, a missing folder) stay in the list
// marked unwritten; their files are written with the next write that works, on the window's
// retry timer and at the end of the session.

#include <cstddef>

#include "core/store/message_folder.h"
#include "core/store/message_history.h"

namespace tavik::store {

// Writes the files of the unwritten entries, oldest first, and stops at the first that fails
// again (the cause is most likely still there). Returns how many are still unwritten.
std::size_t WriteUnwrittenMessages(MessageHistory& history, MessageFolder& folder);

}  // namespace tavik::store
