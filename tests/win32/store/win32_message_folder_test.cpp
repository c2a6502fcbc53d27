#include "store/win32_message_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/store/history_loader.h"
#include "core/store/intake.h"
#include "core/store/message_file.h"
#include "core/store/trash.h"
#include "win/extended_path.h"

namespace tavik::store {
namespace {

// A fresh data directory with "messages" and "trash" under the temporary folder.
class Win32Folder : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        dataDirectory = std::string(temp) + "tavik-store-" + std::to_string(GetCurrentProcessId()) + "-" +
                        std::to_string(GetTickCount()) + "\\";
        ASSERT_TRUE(CreateDirectoryA(dataDirectory.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((dataDirectory + "messages").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((dataDirectory + "trash").c_str(), nullptr));
        messages = dataDirectory + "messages\\";
    }
    void TearDown() override {
        for (const char* sub : {"messages\\", "trash\\"}) {
            for (const FolderFile& f : folder.ListFiles(dataDirectory + sub, ""))
                folder.Remove(dataDirectory + sub + f.name);
            RemoveDirectoryA((dataDirectory + sub + "sub.qms").c_str());
            RemoveDirectoryA((dataDirectory + sub).c_str());
        }
        RemoveDirectoryA(dataDirectory.c_str());
    }
    std::vector<std::string> Names(const std::string& dir, std::string_view suffix) {
        std::vector<std::string> names;
        for (const FolderFile& f : folder.ListFiles(dir, suffix)) names.push_back(f.name);
        std::sort(names.begin(), names.end());
        return names;
    }

    Win32MessageFolder folder;
    std::string dataDirectory;
    std::string messages;
};

TEST_F(Win32Folder, WorksInAFolderBeyondTheClassicPathLimit) {
    // A deep data directory: messages\<name>.qms alone passes 260 characters.
    std::string deep = dataDirectory;
    std::vector<std::string> made;
    while (deep.size() < 300) {
        deep += std::string(40, 'd') + "\\";
        ASSERT_TRUE(CreateDirectoryW(win::ExtendedPath(deep).c_str(), nullptr)) << deep.size();
        made.push_back(deep);
    }
    const std::string path = deep + "1714990000Ann.qms";
    ASSERT_GT(path.size(), static_cast<std::size_t>(MAX_PATH));
    ASSERT_TRUE(folder.WriteWhole(path, "0Ann\r\nlong"));
    EXPECT_TRUE(folder.Exists(path));
    EXPECT_EQ(folder.ReadWhole(path, 100), "0Ann\r\nlong");
    EXPECT_EQ(Names(deep, ".qms"), (std::vector<std::string>{"1714990000Ann.qms"}));
    EXPECT_TRUE(folder.Remove(path));
    EXPECT_FALSE(folder.Exists(path));
    for (auto dir = made.rbegin(); dir != made.rend(); ++dir) RemoveDirectoryW(win::ExtendedPath(*dir).c_str());
}

TEST_F(Win32Folder, WritesReadsReplacesAndRemovesWholeFiles) {
    const std::string path = messages + "1Ann.qms";
    const std::string bytes("0Ann\r\nd\r\n\0binary\xff", 17);
    ASSERT_TRUE(folder.WriteWhole(path, bytes));
    EXPECT_EQ(folder.ReadWhole(path, 1000), bytes);
    EXPECT_EQ(folder.ReadWhole(path, 4), bytes.substr(0, 4));
    ASSERT_TRUE(folder.WriteWhole(path, "short"));
    EXPECT_EQ(folder.ReadWhole(path, 1000), "short");
    EXPECT_TRUE(folder.Exists(path));
    // No temporary file is left beside it or in the data folder, where it was written.
    EXPECT_EQ(Names(messages, ""), (std::vector<std::string>{"1Ann.qms"}));
    EXPECT_TRUE(Names(dataDirectory, "").empty());
    EXPECT_TRUE(folder.Remove(path));
    EXPECT_FALSE(folder.Remove(path));
    EXPECT_FALSE(folder.Exists(path));
    EXPECT_FALSE(folder.ReadWhole(path, 10));
}

TEST_F(Win32Folder, WriteNewTakesOnlyAFreeNameAndLeavesTakenOnesWhole) {
    ASSERT_EQ(folder.WriteNew(messages + "3Ann.qms", "first"), NewFileResult::Written);
    EXPECT_EQ(folder.WriteNew(messages + "3ANN.QMS", "second"), NewFileResult::NameTaken);
    ASSERT_TRUE(CreateDirectoryA((messages + "sub.qms").c_str(), nullptr));
    EXPECT_EQ(folder.WriteNew(messages + "sub.qms", "third"), NewFileResult::NameTaken);
    EXPECT_EQ(folder.WriteNew(dataDirectory + "missing\\4Ann.qms", "x"), NewFileResult::Failed);
    EXPECT_EQ(folder.ReadWhole(messages + "3Ann.qms", 100), "first");
    // Neither refused write left its temporary file behind.
    EXPECT_EQ(Names(messages, ""), (std::vector<std::string>{"3Ann.qms"}));
    EXPECT_TRUE(Names(dataDirectory, "").empty());
}

TEST_F(Win32Folder, AWriteWhoseDataFolderPlaceIsTakenIsWrittenBesideItsTarget) {
    const std::string staging = dataDirectory + "5Ann.qms.tmp";
    ASSERT_TRUE(CreateDirectoryA(staging.c_str(), nullptr));
    EXPECT_EQ(folder.WriteNew(messages + "5Ann.qms", "kept"), NewFileResult::Written);
    EXPECT_TRUE(folder.WriteWhole(messages + "5Ann.qms", "replaced"));
    RemoveDirectoryA(staging.c_str());
    EXPECT_EQ(folder.ReadWhole(messages + "5Ann.qms", 100), "replaced");
    EXPECT_EQ(Names(messages, ""), (std::vector<std::string>{"5Ann.qms"}));
}

TEST_F(Win32Folder, AWriteThatCannotReplaceLeavesTheOldFileWhole) {
    const std::string path = messages + "2Bob.qms";
    ASSERT_TRUE(folder.WriteWhole(path, "old contents"));
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(folder.WriteWhole(path, "new contents"));
    CloseHandle(reader);
    EXPECT_EQ(folder.ReadWhole(path, 100), "old contents");
    EXPECT_EQ(Names(messages, ""), (std::vector<std::string>{"2Bob.qms"}));
    EXPECT_FALSE(folder.WriteWhole(dataDirectory + "missing\\3x.qms", "x"));
}

TEST_F(Win32Folder, ListsMessageFilesWithSizesAndNothingElse) {
    ASSERT_TRUE(folder.WriteWhole(messages + "10a.qms", "0a\r\nxyz"));
    ASSERT_TRUE(folder.WriteWhole(messages + "11B.QMS", "0B\r\n"));
    ASSERT_TRUE(folder.WriteWhole(messages + "12c.qmsx", "no"));
    ASSERT_TRUE(folder.WriteWhole(messages + "13d.qms.tmp", "no"));
    ASSERT_TRUE(folder.WriteWhole(messages + "notes.txt", "no"));
    ASSERT_TRUE(CreateDirectoryA((messages + "sub.qms").c_str(), nullptr));
    std::vector<FolderFile> found = folder.ListFiles(messages, ".qms");
    std::sort(found.begin(), found.end(), [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "10a.qms");
    EXPECT_EQ(found[0].size, 7u);
    EXPECT_EQ(found[1].name, "11B.QMS");
    EXPECT_EQ(found[1].size, 4u);
    EXPECT_EQ(Names(messages, "").size(), 5u);
    EXPECT_TRUE(folder.ListFiles(dataDirectory + "missing\\", ".qms").empty());
}

TEST_F(Win32Folder, AcceptsTheDoubledSeparatorOfTrashNames) {
    ASSERT_TRUE(folder.WriteWhole(dataDirectory + "\\trash\\del_mess0.qms", "r"));
    EXPECT_EQ(Names(dataDirectory + "trash\\", ""), (std::vector<std::string>{"del_mess0.qms"}));
}

TEST_F(Win32Folder, StoredMessagesComeBackAfterARestartAndARestoreIsByteForByte) {
    Settings settings;
    settings.DataDirectory = dataDirectory;
    MessageHistory history;
    const HeadingFormats headings;
    std::uint32_t ticks = 1000;
    auto arrive = [&](const char* text, const char* sender, std::int64_t seconds, std::uint32_t priority) {
        ticks += 60000;
        return IntakeMessage(history, settings, folder, "Monday, 6 May 2024, 10:15:00", priority,
                             IncomingMessage{text, sender}, seconds, ticks, headings);
    };
    EXPECT_TRUE(arrive("one", "bob", 1714990500, 0).fileWritten);
    EXPECT_TRUE(arrive("two", "Ann/10.0.0.1", 1714990500, 1).fileWritten);
    EXPECT_TRUE(arrive("three", "..\\..\\x", 1714990501, 0).fileWritten);
    EXPECT_TRUE(arrive("four", "a:b", 1714990502, 0).fileWritten);
    EXPECT_TRUE(arrive("five", "ANN", 1714990500, 0).fileWritten);  // same name but for case
    EXPECT_EQ(Names(messages, ".qms"),
              (std::vector<std::string>{"1714990500ANN~2.qms", "1714990500Ann.qms", "1714990500bob.qms",
                                        "1714990501.._.._x.qms", "1714990502a_b.qms"}));

    history.ShowOldest();
    history.ShowNewer();
    const std::string path = *history.current()->filePath;
    const std::string before = *folder.ReadWhole(path, 1 << 20);
    ASSERT_TRUE(DeleteCurrentMessage(history, settings, folder, ticks + 5000).recordWritten);
    EXPECT_FALSE(folder.Exists(path));
    ASSERT_TRUE(RestoreDeletedMessage(history, settings, folder).restored);
    EXPECT_EQ(folder.ReadWhole(path, 1 << 20), before);
    EXPECT_TRUE(Names(dataDirectory + "trash\\", "").empty());

    MessageHistory reloaded;
    LoadResult result = LoadMessageHistory(reloaded, folder, dataDirectory);
    ASSERT_EQ(result.loaded, 5u);
    EXPECT_FALSE(result.skippedMalformed);
    for (std::uint32_t p = 1; p <= 5; ++p) {
        const MessageEntry& entry = *reloaded.at(p);
        bool matched = false;
        for (std::uint32_t q = 1; q <= history.count(); ++q) {
            const MessageEntry& stored = *history.at(q);
            matched = matched || (stored.filePath == entry.filePath && stored.text == entry.text &&
                                  stored.sender == entry.sender && stored.highPriority == entry.highPriority);
        }
        EXPECT_TRUE(matched) << *entry.filePath;
    }
    EXPECT_EQ(reloaded.at(2)->sender, "Ann/10.0.0.1");
}

}  // namespace
}  // namespace tavik::store
