#include "core/store/trash.h"

#include <algorithm>

#include "core/store/message_file.h"
#include "core/store/trash_record.h"

namespace tavik::store {
namespace {

// A delete aimed at a message that arrived less than this long ago is taken for a slip.
constexpr std::uint32_t kArrivalGuardMs = 1000;

}  // namespace

bool DeleteAllNeedsQuestion(const MessageHistory& history) { return history.count() != 0 || history.trashCount != 0; }

DeleteResult DeleteCurrentMessage(MessageHistory& history, const Settings& settings, MessageFolder& folder,
                                  std::uint32_t nowTicks) {
    DeleteResult result;
    result.restoreEnabled = history.trashCount > 0;
    const MessageEntry* entry = history.current();
    if (entry == nullptr) return result;
    const std::uint32_t sinceArrival = nowTicks - history.lastArrivalTicks;  // wraps like the tick count
    if (entry == history.newest() && sinceArrival < kArrivalGuardMs) return result;

    // The record goes to disk before the message file is deleted, so a crash between the
    // two leaves the message on disk rather than nowhere.
    // An unwritten message keeps the name its file is to have, so a restore writes it.
    const std::string filePath = entry->filePath ? *entry->filePath
                                 : entry->unwritten ? entry->unwritten->path
                                                    : std::string();
    TrashRecord record{history.currentPosition(), filePath, entry->highPriority, entry->sender, entry->text};
    result.recordWritten =
        folder.WriteWhole(TrashRecordPath(settings.DataDirectory, history.trashCount), EncodeTrashRecord(record));
    if (!result.recordWritten) {
        // Without its record it could not be restored: the message stays where it is.
        result.recordFailed = true;
        return result;
    }
    ++history.trashCount;
    if (entry->filePath && folder.Remove(*entry->filePath)) history.fileNames.Forget();

    history.RemoveCurrent();
    result.deleted = true;
    result.showCurrent = history.current() != nullptr;
    result.clearBoxes = history.empty();
    result.minimize = history.empty() && settings.MinimizeWhenLast != 0;
    result.restoreEnabled = history.trashCount > 0;
    return result;
}

RestoreResult RestoreDeletedMessage(MessageHistory& history, const Settings& settings, MessageFolder& folder) {
    RestoreResult result;
    const std::string recordPath = TrashRecordPath(settings.DataDirectory, history.trashCount - 1);
    const std::optional<std::string> bytes = folder.ReadWhole(recordPath, kMaxTrashRecordBytes);
    const bool nothingRead = !bytes || bytes->empty();

    if (!nothingRead) {
        // A malformed record is dropped alone; the records before it stay restorable.
        if (std::optional<TrashRecord> record = DecodeTrashRecord(*bytes)) {
            MessageEntry entry{std::move(record->text), std::move(record->sender), std::nullopt, record->highPriority};
            history.InsertAt(record->position, std::move(entry));
            std::optional<std::string> filePath;
            if (settings.UsingFilesToStoreMessages != 0 && !record->filePath.empty()) {
                // Back under its old name, which sorts it in by arrival at the next start;
                // a message that took the name meanwhile keeps its file.
                const MessageEntry& restored = *history.current();
                filePath = WriteNewMessageFile(folder, record->filePath, restored.highPriority, restored.sender,
                                               restored.text, &history.fileNames);
                result.fileFailed = !filePath;
            }
            history.SetCurrentFilePath(std::move(filePath));
            // The record was its only copy on disk: kept in the list, it is written when writing works.
            if (result.fileFailed) history.SetCurrentUnwritten({record->filePath, record->highPriority});
            result.restored = true;
        }
    }

    folder.Remove(recordPath);
    --history.trashCount;
    result.showCurrent = history.current() != nullptr;
    if (nothingRead) {
        // A missing or empty record means the trash is not what we wrote: discard it all.
        EmptyTrash(history, folder, settings.DataDirectory);
        result.trashEmptied = true;
    }
    result.restoreEnabled = history.trashCount > 0;
    return result;
}

void EmptyTrash(MessageHistory& history, MessageFolder& folder, const std::string& dataDirectory) {
    const std::string trash = TrashFolder(dataDirectory);
    for (const FolderFile& file : folder.ListFiles(trash, "")) folder.Remove(trash + file.name);
    history.trashCount = 0;
}

DeleteAllQuestion PrepareDeleteAll(const MessageHistory& history) {
    return {history.lastSerial()};
}

DeleteAllResult DeleteAllMessages(MessageHistory& history, const Settings& settings, MessageFolder& folder,
                                  const DeleteAllQuestion& asked) {
    DeleteAllResult result;
    EmptyTrash(history, folder, settings.DataDirectory);
    result.trashEmptied = true;
    const bool hadEntries = !history.empty();
    for (const MessageEntry& entry : history.RemoveUpToSerial(asked.lastSerialAsked)) {
        if (entry.filePath) folder.Remove(*entry.filePath);
    }
    // Oldest first, so those asked about lead the list.
    auto firstKept = std::find_if(history.trimmedFiles.begin(), history.trimmedFiles.end(),
                                  [&](const auto& file) { return file.serial > asked.lastSerialAsked; });
    for (auto file = history.trimmedFiles.begin(); file != firstKept; ++file) folder.Remove(file->path);
    history.trimmedFiles.erase(history.trimmedFiles.begin(), firstKept);
    history.fileNames.Forget();
    if (!hadEntries) return result;
    result.historyCleared = history.empty();
    result.showCurrent = !history.empty();
    result.minimize = history.empty() && settings.MinimizeWhenLast != 0;
    return result;
}

void RemoveInterruptedWrites(MessageFolder& folder, const std::string& dataDirectory) {
    // Temporaries are written in the data folder (see StagingPathFor); only its ".qms.tmp" files
    // are ours. Earlier versions wrote them in the messages folder.
    if (!dataDirectory.empty()) {
        std::string data = dataDirectory;
        if (data.back() != '\\') data.push_back('\\');
        const std::string staged = std::string(kMessageFileSuffix) + std::string(kTemporaryFileSuffix);
        for (const FolderFile& file : folder.ListFiles(data, staged)) folder.Remove(data + file.name);
    }
    const std::string messages = MessagesFolder(dataDirectory);
    for (const FolderFile& file : folder.ListFiles(messages, kTemporaryFileSuffix)) folder.Remove(messages + file.name);
}

}  // namespace tavik::store
