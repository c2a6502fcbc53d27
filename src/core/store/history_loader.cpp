#include "core/store/history_loader.h"

#include <algorithm>

#include "core/store/message_file.h"

namespace tavik::store {

LoadResult LoadMessageHistory(MessageHistory& history, MessageFolder& folder, const std::string& dataDirectory) {
    struct Candidate {
        std::string path;
        std::uint32_t size;
    };
    const std::string messages = MessagesFolder(dataDirectory);
    std::vector<Candidate> candidates;
    for (FolderFile& file : folder.ListFiles(messages, kMessageFileSuffix)) {
        candidates.push_back({messages + file.name, file.size});
    }
    // Byte order of the full path (std::string compares chars as unsigned, as strcmp does):
    // the seconds of arrival, then the sender prefix.
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.path < b.path; });

    LoadResult result;
    for (Candidate& candidate : candidates) {
        if (candidate.size == 0) continue;  // nothing to read
        std::optional<std::string> bytes = folder.ReadWhole(candidate.path, candidate.size);
        if (!bytes || bytes->empty()) continue;
        std::optional<MessageFileContent> content = ReadMessageFile(*bytes);
        if (!content) {
            // Cut short or not ours: keep it on disk and let the others load.
            result.skippedMalformed = true;
            continue;
        }
        history.Append(MessageEntry{std::move(content->text), std::move(content->sender), std::move(candidate.path),
                                    content->highPriority});
        ++result.loaded;
    }
    return result;
}

}  // namespace tavik::store
