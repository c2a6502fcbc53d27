#include "core/store/history_loader.h"

#include <algorithm>

#include "core/store/message_file.h"
#include "core/store/older_messages_load.h"

namespace tavik::store {
namespace {

// Files read on the window's thread at most, should the newest ones not load: about one
// message-file write under Wine.
constexpr std::size_t kNewestReadsAtOnce = 4;

}  // namespace

StartOfLoad LoadNewestMessage(MessageHistory& history, MessageFolder& folder, const std::string& dataDirectory) {
    const std::string messages = MessagesFolder(dataDirectory);
    std::vector<FolderFile> files = folder.ListFiles(messages, kMessageFileSuffix);
    // Byte order of the full path (std::string compares chars as unsigned, as strcmp does):
    // the seconds of arrival, then the sender prefix. The folder is the same for all, so
    // the names alone give that order.
    std::sort(files.begin(), files.end(), [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });

    StartOfLoad start;
    std::size_t left = files.size();
    for (std::size_t reads = 0; left > 0 && reads < kNewestReadsAtOnce && start.newest.loaded == 0; --left) {
        const FolderFile& file = files[left - 1];
        if (file.size == 0) continue;  // nothing to read
        ++reads;
        std::optional<std::string> bytes = folder.ReadWhole(messages + file.name, file.size);
        if (!bytes || bytes->empty()) continue;
        std::optional<MessageFileContent> content = TakeMessageFile(std::move(*bytes));
        if (!content) {
            // Cut short or not ours: keep it on disk and let the others load.
            start.newest.skippedMalformed = true;
            continue;
        }
        history.Append(MessageEntry{std::move(content->text), std::move(content->sender), messages + file.name,
                                    content->highPriority});
        ++start.newest.loaded;
    }
    for (std::size_t i = left; i-- > 0;) {
        if (files[i].size != 0) start.older.push_back({messages + files[i].name, files[i].size});
    }
    history.ExpectOlder(static_cast<std::uint32_t>(start.older.size()));
    return start;
}

LoadResult LoadMessageHistory(MessageHistory& history, MessageFolder& folder, const std::string& dataDirectory) {
    StartOfLoad start = LoadNewestMessage(history, folder, dataDirectory);
    OlderMessagesLoad older(std::move(start.older), nullptr);
    older.Run(folder);
    LoadResult result = start.newest;
    for (OlderMessages& batch : older.Take()) {
        result.loaded += static_cast<std::uint32_t>(batch.entries.size());
        result.skippedMalformed |= batch.skippedMalformed;
        history.PrependOlder(std::move(batch.entries), batch.filesCovered);
    }
    return result;
}

}  // namespace tavik::store
