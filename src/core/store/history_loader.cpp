#include "core/store/history_loader.h"

#include <algorithm>

#include "core/store/message_file.h"

namespace tavik::store {

LoadResult LoadMessageHistory(MessageHistory& history, MessageFolder& folder, const std::string& dataDirectory) {
    const std::string messages = MessagesFolder(dataDirectory);
    std::vector<FolderFile> files = folder.ListFiles(messages, kMessageFileSuffix);
    // Byte order of the full path (std::string compares chars as unsigned, as strcmp does):
    // the seconds of arrival, then the sender prefix. The folder is the same for all, so
    // the names alone give that order.
    std::sort(files.begin(), files.end(), [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });

    LoadResult result;
    for (const FolderFile& file : files) {
        if (file.size == 0) continue;  // nothing to read
        std::string path = messages + file.name;
        std::optional<std::string> bytes = folder.ReadWhole(path, file.size);
        if (!bytes || bytes->empty()) continue;
        std::optional<MessageFileContent> content = TakeMessageFile(std::move(*bytes));
        if (!content) {
            // Cut short or not ours: keep it on disk and let the others load.
            result.skippedMalformed = true;
            continue;
        }
        history.Append(
            MessageEntry{std::move(content->text), std::move(content->sender), std::move(path), content->highPriority});
        ++result.loaded;
    }
    return result;
}

}  // namespace tavik::store
