#include "core/store/unwritten_messages.h"

#include <utility>

#include "core/store/message_file.h"

namespace tavik::store {

UnwrittenProgress WriteUnwrittenMessages(MessageHistory& history, MessageFolder& folder, std::size_t most) {
    std::vector<MessageEntry*> unwritten = history.Unwritten();
    UnwrittenProgress progress;
    progress.left = unwritten.size();
    for (MessageEntry* entry : unwritten) {
        if (progress.written == most) break;
        // Never over another file: a message that took the name meanwhile keeps it. The copy numbers
        // known to be taken are skipped, so many kept messages of one second and sender do not try
        // every taken name in turn.
        std::optional<std::string> path =
            WriteNewMessageFile(folder, entry->unwritten->path, entry->unwritten->highPriorityFlag, entry->sender,
                                entry->text, &history.fileNames);
        if (!path) {
            progress.failed = true;
            break;
        }
        entry->filePath = std::move(path);
        entry->unwritten.reset();
        ++progress.written;
        --progress.left;
    }
    return progress;
}

}  // namespace tavik::store
