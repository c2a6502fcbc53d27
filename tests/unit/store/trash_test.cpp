#include "core/store/trash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/store/message_file.h"
#include "core/store/trash_record.h"
#include "core/store/unwritten_messages.h"
#include "store_fixture.h"

namespace tavik::store {
namespace {

using testing::kDataDirectory;
using testing::kMessagesFolder;
using testing::kTrashFolder;

class Trash : public ::testing::Test, public testing::StoreFixture {
protected:
    // n arrivals, one per second, "m1" .. "mn" from "Ann".
    void ArriveMany(int n) {
        for (int i = 1; i <= n; ++i) Arrive("m" + std::to_string(i), "Ann", 1714990000 + i);
    }
    void ShowPosition(std::uint32_t position) {
        history.ShowOldest();
        while (history.currentPosition() < position && history.ShowNewer()) {}
        ASSERT_EQ(history.currentPosition(), position);
    }
    // Well after the latest arrival, so the arrival guard does not apply.
    std::uint32_t Later() const { return history.lastArrivalTicks + 5000; }
    DeleteResult Delete() { return DeleteCurrentMessage(history, settings, folder, Later()); }
    RestoreResult Restore() { return RestoreDeletedMessage(history, settings, folder); }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (std::uint32_t p = 1; p <= history.count(); ++p) {
            texts.push_back(history.at(p)->text.substr(std::string(testing::kDateLine).size() + 2));
        }
        return texts;
    }
    std::vector<std::string> TrashFiles() {
        std::vector<std::string> names;
        for (const FolderFile& file : folder.ListFiles(kTrashFolder, "")) names.push_back(file.name);
        return names;
    }
};

TEST_F(Trash, DeleteAtTwoOfFourThenRestoreGivesTheSameMessageAndFileBack) {
    ArriveMany(4);
    ShowPosition(2);
    const MessageEntry before = *history.current();
    ASSERT_TRUE(before.filePath && folder.Contents(*before.filePath));
    const std::string fileBefore = *folder.Contents(*before.filePath);

    DeleteResult deleted = Delete();
    EXPECT_TRUE(deleted.deleted);
    EXPECT_TRUE(deleted.recordWritten);
    EXPECT_TRUE(deleted.showCurrent);
    EXPECT_FALSE(deleted.clearBoxes);
    EXPECT_TRUE(deleted.restoreEnabled);
    EXPECT_EQ(history.count(), 3u);
    EXPECT_EQ(history.currentPosition(), 2u);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"m1", "m3", "m4"}));
    EXPECT_FALSE(folder.Contents(*before.filePath));
    EXPECT_EQ(history.trashCount, 1);
    EXPECT_TRUE(folder.Contents(std::string(kTrashFolder) + "del_mess0.qms"));

    RestoreResult restored = Restore();
    EXPECT_TRUE(restored.restored);
    EXPECT_FALSE(restored.trashEmptied);
    EXPECT_TRUE(restored.showCurrent);
    EXPECT_EQ(history.count(), 4u);
    EXPECT_EQ(history.currentPosition(), 2u);
    const MessageEntry& after = *history.current();
    EXPECT_EQ(after.text, before.text);
    EXPECT_EQ(after.sender, before.sender);
    EXPECT_EQ(after.filePath, before.filePath);
    EXPECT_EQ(after.highPriority, before.highPriority);
    EXPECT_EQ(folder.Contents(*before.filePath), fileBefore);
    EXPECT_EQ(history.trashCount, 0);
    EXPECT_FALSE(restored.restoreEnabled);
    EXPECT_TRUE(TrashFiles().empty());
}

TEST_F(Trash, AHighPriorityMessageComesBackWithItsMarkAndFlag) {
    Arrive("first", "Ann", 1);
    Arrive("urgent\r\nends with a break\r\n", "Bob/10.0.0.9", 2, kHighPriority);
    const MessageEntry before = *history.current();
    ASSERT_TRUE(before.filePath && folder.Contents(*before.filePath));
    const std::string fileBefore = *folder.Contents(*before.filePath);
    ASSERT_TRUE(Delete().deleted);
    ASSERT_TRUE(Restore().restored);
    EXPECT_TRUE(history.current()->highPriority);
    EXPECT_EQ(history.current()->text, before.text);
    EXPECT_EQ(folder.Contents(*before.filePath), fileBefore);
    EXPECT_EQ(fileBefore.front(), '1');
}

TEST_F(Trash, DeletingTheNewestHandsTheViewBackAndRestoreAppendsIt) {
    ArriveMany(4);
    DeleteResult deleted = Delete();
    EXPECT_EQ(history.currentPosition(), 3u);
    EXPECT_EQ(history.newest(), history.current());
    EXPECT_TRUE(deleted.showCurrent);
    ASSERT_TRUE(Restore().restored);
    EXPECT_EQ(history.currentPosition(), 4u);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"m1", "m2", "m3", "m4"}));
}

TEST_F(Trash, RestoresComeBackInReverseOrderAtTheirPositions) {
    ArriveMany(5);
    ShowPosition(3);
    Delete();  // m3
    ShowPosition(1);
    Delete();  // m1
    ShowPosition(3);
    Delete();  // m5, now at position 3 of [m2 m4 m5]
    EXPECT_EQ(Texts(), (std::vector<std::string>{"m2", "m4"}));
    EXPECT_EQ(history.trashCount, 3);

    RestoreResult first = Restore();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"m2", "m4", "m5"}));
    EXPECT_EQ(history.currentPosition(), 3u);
    EXPECT_TRUE(first.restoreEnabled);

    RestoreResult second = Restore();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"m1", "m2", "m4", "m5"}));
    EXPECT_EQ(history.currentPosition(), 1u);
    EXPECT_TRUE(second.restoreEnabled);

    RestoreResult third = Restore();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"m1", "m2", "m3", "m4", "m5"}));
    EXPECT_EQ(history.currentPosition(), 3u);
    EXPECT_FALSE(third.restoreEnabled);
    EXPECT_EQ(history.trashCount, 0);
    EXPECT_TRUE(TrashFiles().empty());
    EXPECT_EQ(folder.ListFiles(kMessagesFolder, ".qms").size(), 5u);
}

TEST_F(Trash, AMessageAtPositionTwoHundredReturnsThere) {
    settings.UsingFilesToStoreMessages = 0;
    settings.MessageCountLimit = 1000;
    ArriveMany(250);
    ShowPosition(200);
    Delete();
    EXPECT_EQ(history.current()->text, testing::StoreFixture::Stamped("m201"));
    Restore();
    EXPECT_EQ(history.currentPosition(), 200u);
    EXPECT_EQ(history.current()->text, testing::StoreFixture::Stamped("m200"));
    EXPECT_EQ(history.count(), 250u);
}

TEST_F(Trash, DeletingTheOnlyMessageEmptiesTheBoxesAndMayMinimise) {
    Arrive("only", "Ann", 1);
    DeleteResult kept = Delete();
    EXPECT_TRUE(kept.clearBoxes);
    EXPECT_FALSE(kept.showCurrent);
    EXPECT_FALSE(kept.minimize);
    EXPECT_EQ(history.currentPosition(), 0u);
    EXPECT_TRUE(folder.ListFiles(kMessagesFolder, ".qms").empty());

    // Restoring into the empty list puts it at position 1.
    RestoreResult back = Restore();
    EXPECT_TRUE(back.restored);
    EXPECT_EQ(history.currentPosition(), 1u);
    EXPECT_EQ(history.count(), 1u);

    settings.MinimizeWhenLast = 1;
    DeleteResult hidden = Delete();
    EXPECT_TRUE(hidden.clearBoxes);
    EXPECT_TRUE(hidden.minimize);
}

TEST_F(Trash, ADeleteRightAfterAnArrivalIsIgnoredWhileThatMessageIsShown) {
    Arrive("older", "Ann", 1);
    Arrive("just now", "Ann", 2);
    const std::uint32_t arrival = history.lastArrivalTicks;
    EXPECT_FALSE(DeleteCurrentMessage(history, settings, folder, arrival + 999).deleted);
    EXPECT_EQ(history.count(), 2u);
    EXPECT_EQ(history.trashCount, 0);
    EXPECT_TRUE(folder.Contents(*history.current()->filePath));

    // Another message in view: no guard.
    history.ShowOlder();
    EXPECT_TRUE(DeleteCurrentMessage(history, settings, folder, arrival + 10).deleted);
    EXPECT_EQ(history.count(), 1u);

    EXPECT_TRUE(DeleteCurrentMessage(history, settings, folder, arrival + 1000).deleted);
    EXPECT_EQ(history.count(), 0u);
}

TEST_F(Trash, TheArrivalGuardSurvivesTheTickCountWrapping) {
    Arrive("a", "Ann", 1);
    history.lastArrivalTicks = 0xFFFFFF00u;
    EXPECT_FALSE(DeleteCurrentMessage(history, settings, folder, 0x00000100u).deleted);  // 512 ms later
    EXPECT_TRUE(DeleteCurrentMessage(history, settings, folder, 0x000003F0u).deleted);   // 1264 ms later
}

TEST_F(Trash, RestoreWithAnEmptyTrashEmptiesItAndEndsAtZero) {
    ArriveMany(2);
    folder.Put(std::string(kTrashFolder) + "left over.txt", "x");
    RestoreResult result = Restore();
    EXPECT_FALSE(result.restored);
    EXPECT_TRUE(result.trashEmptied);
    EXPECT_FALSE(result.restoreEnabled);
    EXPECT_EQ(history.trashCount, 0);
    EXPECT_EQ(history.count(), 2u);
    EXPECT_TRUE(result.showCurrent);
    EXPECT_TRUE(TrashFiles().empty());
}

TEST_F(Trash, AMissingRecordDiscardsTheWholeTrash) {
    ArriveMany(3);
    Delete();
    Delete();
    ASSERT_TRUE(folder.Remove(std::string(kTrashFolder) + "del_mess1.qms"));
    RestoreResult result = Restore();
    EXPECT_FALSE(result.restored);
    EXPECT_TRUE(result.trashEmptied);
    EXPECT_EQ(history.trashCount, 0);
    EXPECT_EQ(history.count(), 1u);
    EXPECT_TRUE(TrashFiles().empty());
}

TEST_F(Trash, AShortOrMalformedRecordIsDroppedAndTheNextOneStillRestores) {
    ArriveMany(4);
    Delete();  // m4 -> record 0
    Delete();  // m3 -> record 1
    Delete();  // m2 -> record 2
    folder.Put(std::string(kTrashFolder) + "del_mess2.qms", "short");
    folder.Put(std::string(kTrashFolder) + "del_mess1.qms",
               std::string("\x01\0\0\0\r\nno line end after this path", 34));

    RestoreResult shortRecord = Restore();
    EXPECT_FALSE(shortRecord.restored);
    EXPECT_FALSE(shortRecord.trashEmptied);
    EXPECT_TRUE(shortRecord.restoreEnabled);
    EXPECT_EQ(history.trashCount, 2);

    RestoreResult malformed = Restore();
    EXPECT_FALSE(malformed.restored);
    EXPECT_FALSE(malformed.trashEmptied);
    EXPECT_EQ(history.trashCount, 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"m1"}));

    RestoreResult good = Restore();
    EXPECT_TRUE(good.restored);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"m1", "m4"}));
    EXPECT_FALSE(good.restoreEnabled);
    EXPECT_TRUE(TrashFiles().empty());
}

TEST_F(Trash, AMessageWithoutFileStaysWithoutFile) {
    settings.UsingFilesToStoreMessages = 0;
    ArriveMany(2);
    Delete();
    auto record = DecodeTrashRecord(*folder.Contents(std::string(kTrashFolder) + "del_mess0.qms"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->filePath, "");
    EXPECT_EQ(record->position, 2u);
    settings.UsingFilesToStoreMessages = 1;  // even with files on, an empty path writes nothing
    Restore();
    EXPECT_FALSE(history.current()->filePath);
    EXPECT_TRUE(folder.ListFiles(kMessagesFolder, "").empty());
}

TEST_F(Trash, WithFilesSwitchedOffARestoreWritesNoFile) {
    ArriveMany(2);
    Delete();
    settings.UsingFilesToStoreMessages = 0;
    EXPECT_TRUE(Restore().restored);
    EXPECT_FALSE(history.current()->filePath);
    EXPECT_EQ(folder.ListFiles(kMessagesFolder, ".qms").size(), 1u);
}

TEST_F(Trash, ARestoreNeverOverwritesAFileThatTookTheNameMeanwhile) {
    Arrive("deleted one", "Ann", 300);
    Arrive("other", "Bob", 301);
    ShowPosition(1);
    Delete();
    Arrive("newcomer", "Ann", 300);  // same second and prefix: the freed name
    const std::string name = std::string(kMessagesFolder) + "300Ann.qms";
    EXPECT_EQ(history.current()->filePath, name);
    Restore();
    EXPECT_EQ(history.current()->filePath, std::string(kMessagesFolder) + "300Ann~2.qms");
    EXPECT_EQ(folder.Contents(name), "0Ann\r\n" + Stamped("newcomer"));
    EXPECT_EQ(folder.Contents(std::string(kMessagesFolder) + "300Ann~2.qms"), "0Ann\r\n" + Stamped("deleted one"));
}

TEST_F(Trash, ARecordThatCannotBeWrittenKeepsTheMessage) {
    ArriveMany(2);
    const std::string file = *history.current()->filePath;
    folder.SetWritesFail(true);
    DeleteResult result = Delete();
    EXPECT_FALSE(result.deleted);
    EXPECT_TRUE(result.recordFailed);
    EXPECT_FALSE(result.restoreEnabled);
    EXPECT_EQ(history.trashCount, 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"m1", "m2"}));
    EXPECT_TRUE(folder.Contents(file));
}

TEST_F(Trash, AMalformedNewestRecordIsDroppedAloneEvenWithTheListEmpty) {
    ArriveMany(2);
    Delete();  // m2 -> record 0
    Delete();  // m1 -> record 1
    ASSERT_TRUE(history.empty());
    folder.Put(std::string(kTrashFolder) + "del_mess1.qms", std::string("\x01\0\0\0\r\nno line end", 17));
    RestoreResult malformed = Restore();
    EXPECT_FALSE(malformed.restored);
    EXPECT_FALSE(malformed.trashEmptied);
    EXPECT_TRUE(malformed.restoreEnabled);
    EXPECT_TRUE(Restore().restored);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"m2"}));
}

TEST_F(Trash, EmptyTrashRemovesEveryFileOfTheTrashFolderOnly) {
    ArriveMany(3);
    Delete();
    Delete();
    folder.Put(std::string(kTrashFolder) + "stray.dat", "x");
    EmptyTrash(history, folder, kDataDirectory);
    EXPECT_EQ(history.trashCount, 0);
    EXPECT_TRUE(TrashFiles().empty());
    EXPECT_EQ(folder.ListFiles(kMessagesFolder, ".qms").size(), 1u);
}

TEST_F(Trash, DeleteAllRemovesWhatItAskedAboutAndKeepsWhatCameMeanwhile) {
    EXPECT_FALSE(DeleteAllNeedsQuestion(history));

    settings.MessageCountLimit = 3;
    ArriveMany(4);  // m1 leaves the list through the limit; its file stays until delete-all
    Delete();
    // Neither was ever in the list: a file the start could not read, and one of an earlier run.
    const std::string unreadable = std::string(kMessagesFolder) + "1000Old.qms";
    folder.Put(unreadable, "no sender line");
    settings.MinimizeWhenLast = 1;
    ASSERT_TRUE(DeleteAllNeedsQuestion(history));
    DeleteAllQuestion asked = PrepareDeleteAll(history);
    // m2 leaves the list through the limit while the question is open: it was asked about.
    Arrive("while asking", "Bob", 1714990100);
    const std::string newFile = *history.newest()->filePath;

    DeleteAllResult result = DeleteAllMessages(history, settings, folder, asked);
    EXPECT_TRUE(result.trashEmptied);
    EXPECT_FALSE(result.historyCleared);
    EXPECT_TRUE(result.showCurrent);
    EXPECT_FALSE(result.minimize);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"while asking"}));
    EXPECT_EQ(history.currentPosition(), 1u);
    EXPECT_EQ(history.trashCount, 0);
    EXPECT_TRUE(TrashFiles().empty());
    EXPECT_EQ(folder.Paths(), (std::vector<std::string>{unreadable, newFile}));

    DeleteAllResult all = DeleteAllMessages(history, settings, folder, PrepareDeleteAll(history));
    EXPECT_TRUE(all.historyCleared);
    EXPECT_TRUE(all.minimize);
    EXPECT_EQ(history.currentPosition(), 0u);
    EXPECT_EQ(folder.Paths(), (std::vector<std::string>{unreadable}));

    // With message files off no file is deleted, not even those of earlier runs.
    settings.UsingFilesToStoreMessages = 0;
    Arrive("in memory", "Cy", 1714990200);
    DeleteAllMessages(history, settings, folder, PrepareDeleteAll(history));
    EXPECT_EQ(folder.Paths(), (std::vector<std::string>{unreadable}));
}

TEST_F(Trash, ARestoreWhoseFileCannotBeWrittenKeepsTheMessageUntilWritingWorks) {
    ArriveMany(2);
    Delete();
    folder.SetWritesFail(true);
    RestoreResult result = Restore();
    EXPECT_TRUE(result.restored);
    EXPECT_TRUE(result.fileFailed);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"m1", "m2"}));
    EXPECT_EQ(history.Unwritten().size(), 1u);

    folder.SetWritesFail(false);
    EXPECT_EQ(WriteUnwrittenMessages(history, folder).left, 0u);
    EXPECT_EQ(folder.ListFiles(kMessagesFolder, ".qms").size(), 2u);
    EXPECT_TRUE(history.current()->filePath);
}

TEST_F(Trash, FilesOfInterruptedWritesGoAtStart) {
    ArriveMany(1);
    folder.Put(std::string(kMessagesFolder) + "1714990005Ann.qms.tmp", "0Ann\r\nhalf");
    folder.Put(std::string(kDataDirectory) + "1714990006Bob.qms.tmp", "0Bob\r\nhalf");
    folder.Put(std::string(kDataDirectory) + "notes.tmp", "not ours");
    RemoveInterruptedWrites(folder, kDataDirectory);
    std::vector<std::string> left = folder.Paths();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{*history.current()->filePath, std::string(kDataDirectory) + "notes.tmp"}));
}

TEST_F(Trash, DeleteAllWithOnlyTrashLeftEmptiesTheTrash) {
    ArriveMany(2);
    Delete();
    Delete();
    ASSERT_TRUE(DeleteAllNeedsQuestion(history));
    DeleteAllResult result =
        DeleteAllMessages(history, settings, folder, PrepareDeleteAll(history));
    EXPECT_TRUE(result.trashEmptied);
    EXPECT_FALSE(result.historyCleared);
    EXPECT_FALSE(result.minimize);
    EXPECT_EQ(history.trashCount, 0);
    EXPECT_TRUE(TrashFiles().empty());
}

}  // namespace
}  // namespace tavik::store
