// Decodes arbitrary bytes as a trash record; whatever decodes must survive a round trip. Then
// the same bytes are restored as the newest record of a trash beside a history of two messages:
// the entry must come back as decoded, its file must read back as that entry without replacing
// any file, and deleting and restoring it once more must give the same entry and file again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings/settings.h"
#include "core/store/memory_message_folder.h"
#include "core/store/message_file.h"
#include "core/store/message_history.h"
#include "core/store/trash.h"
#include "core/store/trash_record.h"

namespace {

using namespace tavik::store;

constexpr const char* kData = "C:\\Data\\";
constexpr const char* kMessages = "C:\\Data\\messages\\";
constexpr const char* kTrash = "C:\\Data\\trash\\";
// Files already on disk: a record naming one must not replace it.
constexpr const char* kFirstFile = "C:\\Data\\messages\\1714990001Ann.qms";
constexpr const char* kSecondFile = "C:\\Data\\messages\\1714990002Bob.qms";

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckRoundTrip(const TrashRecord& record) {
    const auto again = DecodeTrashRecord(EncodeTrashRecord(record));
    Require(again && again->position == record.position && again->filePath == record.filePath &&
            again->highPriority == record.highPriority && again->sender == record.sender && again->text == record.text);
}

struct Store {
    MemoryMessageFolder folder;
    MessageHistory history;
    tavik::Settings settings;
    std::string firstBytes;
    std::string secondBytes;

    Store() {
        folder.MakeFolder(kMessages);
        folder.MakeFolder(kTrash);
        settings.DataDirectory = kData;
        settings.UsingFilesToStoreMessages = 1;
        AddMessage(kFirstFile, "Ann", "first", firstBytes);
        AddMessage(kSecondFile, "Bob", "second", secondBytes);
    }

    void AddMessage(const char* path, const char* sender, const char* text, std::string& bytes) {
        bytes = EncodeMessageFile(false, sender, text);
        folder.Put(path, bytes);
        history.Append(MessageEntry{text, sender, std::string(path), false});
    }

    bool OtherFilesKept() const {
        return folder.Contents(kFirstFile) == firstBytes && folder.Contents(kSecondFile) == secondBytes;
    }
};

// The current entry is the record's message, at its position, with its file as the entry says.
void CheckRestored(const Store& store, const TrashRecord& record) {
    const MessageEntry* entry = store.history.current();
    Require(entry != nullptr && store.history.count() == 3);
    Require(entry->text == record.text && entry->sender == record.sender && entry->highPriority == record.highPriority);
    Require(store.history.currentPosition() == std::clamp<std::uint32_t>(record.position, 1, 3));
    Require(!entry->filePath || !record.filePath.empty());
    if (!entry->filePath) return;
    const std::optional<std::string> bytes = store.folder.Contents(*entry->filePath);
    Require(bytes.has_value());
    const std::optional<MessageFileContent> file = ReadMessageFile(*bytes);
    Require(file && file->highPriority == record.highPriority && file->sender == record.sender &&
            file->text == record.text);
}

void CheckRestore(std::string_view bytes, const std::optional<TrashRecord>& record) {
    Store store;
    const std::string recordPath = TrashRecordPath(kData, 0);
    store.folder.Put(recordPath, std::string(bytes));
    store.history.trashCount = 1;

    const RestoreResult restored = RestoreDeletedMessage(store.history, store.settings, store.folder);
    Require(restored.restored == record.has_value());
    Require(restored.trashEmptied == bytes.empty());
    Require(store.history.trashCount == 0 && !restored.restoreEnabled);
    Require(store.OtherFilesKept());
    if (!record) {
        Require(store.history.count() == 2 && !store.folder.Contents(recordPath));
        return;
    }
    CheckRestored(store, *record);

    // Deleting the restored message and restoring it again changes nothing.
    const std::optional<std::string> filePath = store.history.current()->filePath;
    const std::uint32_t position = store.history.currentPosition();
    const DeleteResult deleted =
        DeleteCurrentMessage(store.history, store.settings, store.folder, store.history.lastArrivalTicks + 5000);
    Require(deleted.deleted && deleted.recordWritten && store.history.count() == 2);
    Require(!filePath || !store.folder.Contents(*filePath));
    Require(RestoreDeletedMessage(store.history, store.settings, store.folder).restored);
    CheckRestored(store, *record);
    Require(store.history.current()->filePath == filePath && store.history.currentPosition() == position);
    Require(store.OtherFilesKept());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto record = DecodeTrashRecord(bytes);
    if (record) {
        Require(size >= kMinTrashRecordSize);
        CheckRoundTrip(*record);
    }
    CheckRestore(bytes, record);
    return 0;
}
