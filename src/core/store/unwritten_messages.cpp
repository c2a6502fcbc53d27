#include "core/store/unwritten_messages.h"

#include <utility>

#include "core/store/message_file.h"

namespace tavik::store {

std::size_t WriteUnwrittenMessages(MessageHistory& history, MessageFolder& folder) {
    std::vector<MessageEntry*> unwritten = history.Unwritten();
    std::size_t left = unwritten.size();
    for (MessageEntry* entry : unwritten) {
        // Never over another file: a message that took the name meanwhile keeps it.
        std::optional<std::string> path = WriteNewMessageFile(folder, entry->unwritten->path,
                                                              entry->unwritten->highPriorityFlag, entry->sender,
                                                              entry->text);
        if (!path) break;
        entry->filePath = std::move(path);
        entry->unwritten.reset();
        --left;
    }
    return left;
}

}  // namespace tavik::store
