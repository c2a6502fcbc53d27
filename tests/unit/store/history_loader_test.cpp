#include "core/store/history_loader.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/store/message_file.h"
#include "core/store/older_messages_load.h"
#include "store_fixture.h"

namespace tavik::store {
namespace {

using namespace std::string_literals;
using testing::kDataDirectory;
using testing::kMessagesFolder;

class Loading : public ::testing::Test, public testing::StoreFixture {
protected:
    void PutMessage(const std::string& name, const std::string& bytes) {
        folder.Put(std::string(kMessagesFolder) + name, bytes);
    }
    std::vector<std::string> LoadedNames() const {
        std::vector<std::string> names;
        for (std::uint32_t p = 1; p <= history.count(); ++p) {
            const MessageEntry* entry = history.at(p);
            names.push_back(entry->filePath ? entry->filePath->substr(std::string(kMessagesFolder).size()) : "<none>");
        }
        return names;
    }
};

TEST_F(Loading, OrdersFilesByTheBytesOfTheirNames) {
    // Put in an order unlike both the name order and the arrival order.
    PutMessage("1700000002Ann.qms", "0Ann\r\nd\r\nthird");
    PutMessage("999999999Zed.qms", "0Zed\r\nd\r\nnine digits");
    PutMessage("1700000001bob.qms", "0bob\r\nd\r\nsecond");
    PutMessage("1700000001Ann.qms", "1Ann\r\nd\r\nfirst");
    PutMessage("1000000000x.qms", "0x\r\nd\r\nzeroth");
    PutMessage("1700000003\xe9ric.qms", "0\xe9ric\r\nd\r\nletter above 0x7F");
    PutMessage("1700000003zed.qms", "0zed\r\nd\r\nlower case");

    LoadResult result = LoadMessageHistory(history, folder, kDataDirectory);
    EXPECT_EQ(result.loaded, 7u);
    EXPECT_FALSE(result.skippedMalformed);
    // "Ann" before "bob": upper case sorts first; bytes compare unsigned, so 0xE9 comes
    // after "z"; nine digits starting with 9 after ten digits starting with 1.
    EXPECT_EQ(LoadedNames(), (std::vector<std::string>{"1000000000x.qms", "1700000001Ann.qms", "1700000001bob.qms",
                                                       "1700000002Ann.qms", "1700000003zed.qms",
                                                       "1700000003\xe9ric.qms", "999999999Zed.qms"}));
    EXPECT_EQ(history.currentPosition(), 7u);
    EXPECT_EQ(history.current()->text, "d\r\nnine digits");
    EXPECT_EQ(history.at(2)->sender, "Ann");
    EXPECT_TRUE(history.at(2)->highPriority);
    EXPECT_FALSE(history.at(3)->highPriority);
}

TEST_F(Loading, EmptyAndUnreadableFilesAreSkippedSilently) {
    PutMessage("11a.qms", "0a\r\n1");
    PutMessage("12b.qms", "0b\r\n2");
    PutMessage("13c.qms", "");
    PutMessage("14d.qms", "0d\r\n4");
    PutMessage("15e.qms", "0e\r\n5");
    PutMessage("16f.qms", "0f\r\n6");
    folder.MakeUnreadable(std::string(kMessagesFolder) + "16f.qms");

    LoadResult result = LoadMessageHistory(history, folder, kDataDirectory);
    EXPECT_EQ(result.loaded, 4u);
    EXPECT_FALSE(result.skippedMalformed);
    EXPECT_EQ(LoadedNames(), (std::vector<std::string>{"11a.qms", "12b.qms", "14d.qms", "15e.qms"}));
    EXPECT_EQ(folder.Paths().size(), 6u);
}

TEST_F(Loading, AFileWithoutSenderLineIsReportedAndTheOthersStillLoad) {
    PutMessage("21a.qms", "0a\r\none");
    PutMessage("22b.qms", "0b cut short by a crash");
    PutMessage("23c.qms", "0c\r\nthree");
    PutMessage("24d.qms", "0d\0\r\nhidden line end"s);

    LoadResult result = LoadMessageHistory(history, folder, kDataDirectory);
    EXPECT_TRUE(result.skippedMalformed);
    EXPECT_EQ(result.loaded, 2u);
    EXPECT_EQ(LoadedNames(), (std::vector<std::string>{"21a.qms", "23c.qms"}));
    EXPECT_EQ(history.currentPosition(), 2u);
    // Nothing is deleted: the user may still want what is in them.
    EXPECT_TRUE(folder.Contents(std::string(kMessagesFolder) + "22b.qms"));
    EXPECT_TRUE(folder.Contents(std::string(kMessagesFolder) + "24d.qms"));
}

TEST_F(Loading, TakesOnlyMessageFilesOfTheMessagesFolder) {
    PutMessage("31a.qms", "0a\r\nyes");
    PutMessage("32b.QMS", "0b\r\nupper-case suffix matches too");
    PutMessage("33c.qms.tmp", "0c\r\nhalf-written");
    PutMessage("notes.txt", "0n\r\nno");
    PutMessage("old\\34d.qms", "0d\r\nin a sub-folder");
    folder.Put(std::string(testing::kTrashFolder) + "del_mess0.qms", "0t\r\nno");

    EXPECT_EQ(LoadMessageHistory(history, folder, kDataDirectory).loaded, 2u);
    EXPECT_EQ(LoadedNames(), (std::vector<std::string>{"31a.qms", "32b.QMS"}));
}

TEST_F(Loading, NoFolderOrNoFilesGivesAnEmptyHistory) {
    LoadResult none = LoadMessageHistory(history, folder, kDataDirectory);
    EXPECT_EQ(none.loaded, 0u);
    EXPECT_FALSE(none.skippedMalformed);
    EXPECT_EQ(history.count(), 0u);
    EXPECT_EQ(history.currentPosition(), 0u);

    MemoryMessageFolder bare;
    EXPECT_EQ(LoadMessageHistory(history, bare, "D:\\Nowhere\\").loaded, 0u);
    EXPECT_EQ(history.current(), nullptr);
}

TEST_F(Loading, EveryFileLoadsWhateverTheCountLimit) {
    settings.MessageCountLimit = 100;
    for (int i = 0; i < 150; ++i)
        PutMessage(std::to_string(1700000000 + i) + "Ann.qms", "0Ann\r\nm" + std::to_string(i));
    EXPECT_EQ(LoadMessageHistory(history, folder, kDataDirectory).loaded, 150u);
    EXPECT_EQ(history.count(), 150u);
    EXPECT_EQ(history.oldest()->text, "m0");
    EXPECT_EQ(history.current()->text, "m149");
    // The limit acts on arrivals, one at a time.
    Arrive("new", "Ann", 1800000000);
    EXPECT_EQ(history.count(), 150u);
}

TEST_F(Loading, ManyFilesLoadInOrderWithEachTextFromItsOwnFile) {
    // More than one stretch of reads, with files to skip scattered through them.
    std::vector<std::string> expected;
    for (int i = 0; i < 2500; ++i) {
        const std::string name = std::to_string(1700000000 + i) + "Ann.qms";
        if (i % 11 == 3) {
            PutMessage(name, "no sender line " + std::to_string(i));
        } else {
            PutMessage(name, "0Ann\r\nm" + std::to_string(i));
        }
        if (i % 7 == 5) folder.MakeUnreadable(std::string(kMessagesFolder) + name);
        if (i % 11 != 3 && i % 7 != 5) expected.push_back("m" + std::to_string(i));
    }
    const LoadResult result = LoadMessageHistory(history, folder, kDataDirectory);
    EXPECT_TRUE(result.skippedMalformed);
    ASSERT_EQ(history.count(), expected.size());
    for (std::uint32_t p = 1; p <= history.count(); ++p) {
        const MessageEntry* entry = history.at(p);
        ASSERT_EQ(entry->text, expected[p - 1]);
        EXPECT_EQ(entry->filePath->substr(std::string(kMessagesFolder).size()),
                  std::to_string(1700000000 + std::stoi(entry->text.substr(1))) + "Ann.qms");
    }
}

TEST_F(Loading, GivesBackWhatIntakeStored) {
    Arrive("one", "bob", 1714990500);
    Arrive("two", "Ann", 1714990500, kHighPriority);
    Arrive("three", "PC\r\n7/10.0.0.1", 1714990501);
    Arrive("four", "bob", 1714990500);  // same second and prefix as the first

    MessageHistory reloaded;
    LoadResult result = LoadMessageHistory(reloaded, folder, kDataDirectory);
    ASSERT_EQ(result.loaded, 4u);
    // Within a second the prefix decides the order; every entry comes back intact.
    const std::vector<std::uint32_t> expectedFrom = {2, 1, 4, 3};
    for (std::uint32_t p = 1; p <= 4; ++p) {
        const MessageEntry& back = *reloaded.at(p);
        const MessageEntry& stored = *history.at(expectedFrom[p - 1]);
        EXPECT_EQ(back.text, stored.text) << p;
        EXPECT_EQ(back.sender, stored.sender) << p;
        EXPECT_EQ(back.filePath, stored.filePath) << p;
        EXPECT_EQ(back.highPriority, stored.highPriority) << p;
    }
}

TEST_F(Loading, TheNewestComesAtOnceAndArrivalsDuringTheRestEndAsAfterAWholeLoad) {
    settings.MessageCountLimit = 100;
    for (int i = 0; i < 100; ++i) {
        PutMessage(std::to_string(1700000000 + i) + "Ann.qms", "0Ann\r\nm" + std::to_string(i));
    }
    PutMessage("1700000050Bob.qms", "cut short");
    StartOfLoad start = LoadNewestMessage(history, folder, kDataDirectory);
    // Counted as listed, the newest shown.
    EXPECT_EQ(history.count(), 101u);
    EXPECT_EQ(history.currentPosition(), 101u);
    EXPECT_EQ(history.current()->text, "m99");
    ASSERT_EQ(start.older.size(), 100u);
    EXPECT_EQ(start.older.front().path, std::string(kMessagesFolder) + "1700000098Ann.qms");

    Arrive("during", "Cy", 1800000000);
    int wakes = 0;
    OlderMessagesLoad older(std::move(start.older), [&] { ++wakes; });
    older.Run(folder);
    EXPECT_EQ(wakes, 1);  // told once until it takes
    std::vector<OlderMessages> batches = older.Take();
    ASSERT_GE(batches.size(), 2u);
    EXPECT_EQ(batches.front().entries.back().text, "m98");  // the nearest older ones first
    for (OlderMessages& batch : batches) history.PrependOlder(std::move(batch.entries), batch.filesCovered);

    // 100 loaded and one arrival over a limit of 100: the oldest left, the arrival stays newest.
    EXPECT_EQ(history.count(), 100u);
    EXPECT_EQ(history.oldest()->text, "m1");
    EXPECT_EQ(history.current()->text, Stamped("during"));
    EXPECT_EQ(history.currentPosition(), 100u);
}

TEST_F(Loading, AStoppedLoadEndsAfterTheStretchItReads) {
    for (int i = 0; i < 300; ++i) PutMessage(std::to_string(1700000000 + i) + "Ann.qms", "0Ann\r\nm");
    StartOfLoad start = LoadNewestMessage(history, folder, kDataDirectory);
    OlderMessagesLoad* self = nullptr;
    OlderMessagesLoad older(std::move(start.older), [&] { self->Stop(); });
    self = &older;
    older.Run(folder);
    const std::vector<OlderMessages> batches = older.Take();
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_LT(batches[0].filesCovered, 299u);
}

}  // namespace
}  // namespace tavik::store
