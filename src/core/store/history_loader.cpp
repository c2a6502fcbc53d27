#include "core/store/history_loader.h"

#include <algorithm>

#include "core/store/message_file.h"
#include "core/store/side_by_side_reader.h"

namespace tavik::store {
namespace {

constexpr std::size_t kStretchFiles = 1024;
constexpr std::size_t kStretchBytes = std::size_t{16} << 20;

}  // namespace

LoadResult LoadMessageHistory(MessageHistory& history, MessageFolder& folder, const std::string& dataDirectory) {
    const std::string messages = MessagesFolder(dataDirectory);
    std::vector<FolderFile> files = folder.ListFiles(messages, kMessageFileSuffix);
    // Byte order of the full path (std::string compares chars as unsigned, as strcmp does):
    // the seconds of arrival, then the sender prefix. The folder is the same for all, so
    // the names alone give that order.
    std::sort(files.begin(), files.end(), [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });

    LoadResult result;
    for (std::size_t first = 0; first < files.size();) {
        // A stretch at a time, so the bytes held at once stay bounded however large the files.
        std::vector<FileToRead> stretch;
        for (std::size_t bytes = 0; first < files.size() && stretch.size() < kStretchFiles && bytes < kStretchBytes;
             ++first) {
            if (files[first].size == 0) continue;  // nothing to read
            stretch.push_back({messages + files[first].name, files[first].size});
            bytes += files[first].size;
        }
        std::vector<std::optional<std::string>> contents = ReadSideBySide(folder, stretch);
        for (std::size_t i = 0; i < stretch.size(); ++i) {
            if (!contents[i] || contents[i]->empty()) continue;
            std::optional<MessageFileContent> content = TakeMessageFile(std::move(*contents[i]));
            if (!content) {
                // Cut short or not ours: keep it on disk and let the others load.
                result.skippedMalformed = true;
                continue;
            }
            history.Append(MessageEntry{std::move(content->text), std::move(content->sender),
                                        std::move(stretch[i].path), content->highPriority});
            ++result.loaded;
        }
    }
    return result;
}

}  // namespace tavik::store
