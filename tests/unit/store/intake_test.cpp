#include "core/store/intake.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/store/message_file.h"
#include "core/store/trash.h"
#include "core/store/unwritten_messages.h"
#include "store_fixture.h"

namespace tavik::store {
namespace {

using namespace std::string_literals;
using testing::kMessagesFolder;

class Intake : public ::testing::Test, public testing::StoreFixture {};

TEST_F(Intake, StoresTheStampedMessageAndItsFileByteForByte) {
    settings.BlinkTrayIcon = 1;
    settings.PlaySound = 1;
    IntakeResult result = Arrive("hello\r\nsecond line", "Ann", 1714990500);

    const std::string path = std::string(kMessagesFolder) + "1714990500Ann.qms";
    EXPECT_EQ(folder.Contents(path), "0Ann\r\n" + Stamped("hello\r\nsecond line"));
    EXPECT_EQ(folder.Paths().size(), 1u);

    ASSERT_EQ(history.count(), 1u);
    EXPECT_EQ(history.currentPosition(), 1u);
    const MessageEntry& entry = *history.current();
    EXPECT_EQ(entry.text, Stamped("hello\r\nsecond line"));
    EXPECT_EQ(entry.sender, "Ann");
    EXPECT_EQ(entry.filePath, path);
    EXPECT_FALSE(entry.highPriority);
    EXPECT_EQ(history.lastArrivalTicks, ticks);

    EXPECT_EQ(result.text, entry.text);
    EXPECT_EQ(result.sender, "Ann");
    EXPECT_TRUE(result.fileWritten);
    EXPECT_FALSE(result.trimmed);
    EXPECT_FALSE(result.popUp);
    EXPECT_TRUE(result.blink);
    EXPECT_TRUE(result.playSound);
}

TEST_F(Intake, AnnouncementsFollowTheSettingsAndThePriority) {
    settings.BlinkTrayIcon = 0;
    settings.PlaySound = 0;
    IntakeResult quiet = Arrive("a", "Ann", 1);
    EXPECT_FALSE(quiet.blink);
    EXPECT_FALSE(quiet.playSound);
    EXPECT_FALSE(quiet.popUp);

    IntakeResult urgent = Arrive("b", "Ann", 2, kHighPriority);
    EXPECT_TRUE(urgent.popUp);
    EXPECT_TRUE(urgent.highPriority);
    EXPECT_TRUE(history.current()->highPriority);
    EXPECT_EQ(folder.Contents(std::string(kMessagesFolder) + "2Ann.qms")->substr(0, 1), "1");

    settings.PopUpWhenIncoming = 1;
    EXPECT_TRUE(Arrive("c", "Ann", 3).popUp);
}

TEST_F(Intake, AnyNonZeroPriorityMarksTheFileButOnlyPriorityOneTheEntry) {
    Arrive("x", "Bob", 10, 2);
    EXPECT_EQ(folder.Contents(std::string(kMessagesFolder) + "10Bob.qms")->front(), '1');
    EXPECT_FALSE(history.current()->highPriority);
}

TEST_F(Intake, WithoutFilesNothingIsWritten) {
    settings.UsingFilesToStoreMessages = 0;
    IntakeResult result = Arrive("hi", "Ann", 5);
    EXPECT_TRUE(folder.Paths().empty());
    EXPECT_FALSE(result.fileWritten);
    EXPECT_FALSE(history.current()->filePath);
    EXPECT_EQ(history.count(), 1u);
}

TEST_F(Intake, MessagesWhoseFileCouldNotBeWrittenAreWrittenByTheNextWriteThatWorks) {
    folder.SetWritesFail(true);
    IntakeResult first = Arrive("kept", "Ann", 5, 1);
    IntakeResult second = Arrive("also kept", "Bob", 6);
    EXPECT_FALSE(first.fileWritten);
    EXPECT_EQ(second.unwrittenLeft, 2u);
    EXPECT_TRUE(folder.Paths().empty());
    ASSERT_EQ(history.count(), 2u);
    EXPECT_FALSE(history.current()->filePath);
    EXPECT_TRUE(WriteUnwrittenMessages(history, folder).failed) << "the disk is still full";

    // Space came back. Deleted while unwritten: its record keeps the name, so the restore writes it.
    folder.SetWritesFail(false);
    history.ShowOldest();
    ASSERT_TRUE(DeleteCurrentMessage(history, settings, folder, ticks + 5000).deleted);
    // Writing works again: the next arrival writes the one still waiting, then itself.
    IntakeResult third = Arrive("after", "Cy", 7);
    EXPECT_TRUE(third.fileWritten);
    EXPECT_EQ(third.unwrittenLeft, 0u);
    EXPECT_EQ(folder.Contents(std::string(kMessagesFolder) + "6Bob.qms"), "0Bob\r\n" + Stamped("also kept"));
    EXPECT_EQ(history.Unwritten().size(), 0u);

    RestoreDeletedMessage(history, settings, folder);
    EXPECT_EQ(folder.Contents(std::string(kMessagesFolder) + "5Ann.qms"), "1Ann\r\n" + Stamped("kept"));
    EXPECT_EQ(folder.Paths().size(), 3u);
}

TEST_F(Intake, AfterAnOutageKeptMessagesAreWrittenAFewAtATimeEachUnderAFreeName) {
    folder.SetWritesFail(true);
    for (int i = 0; i < 10; ++i) Arrive("kept " + std::to_string(i), "Ann", 5);
    folder.SetWritesFail(false);
    IntakeResult next = Arrive("after", "Ann", 5);
    EXPECT_TRUE(next.fileWritten);
    EXPECT_EQ(next.unwrittenLeft, 10 - kUnwrittenWithEachArrival);

    UnwrittenProgress some = WriteUnwrittenMessages(history, folder, 3);
    EXPECT_EQ(some.written, 3u);
    EXPECT_EQ(some.left, 3u);
    EXPECT_FALSE(some.failed);
    EXPECT_EQ(WriteUnwrittenMessages(history, folder).left, 0u);

    std::set<std::string> texts;
    for (const std::string& path : folder.Paths()) texts.insert(folder.Contents(path)->substr(6 + Stamped("").size()));
    EXPECT_EQ(texts.size(), 11u) << "one file for each message, none over another";
    EXPECT_EQ(texts.count("kept 0"), 1u);
    EXPECT_EQ(texts.count("kept 9"), 1u);
}

TEST_F(Intake, HeadingsAreRewordedAfterTheDateLine) {
    headings = HeadingFormats{"M[%s|%s]", "B[%s]", "A[%s]"};
    Arrive("Autoanswer from X", "PC1", 1);
    EXPECT_EQ(history.current()->text, Stamped("A[X]"));
    Arrive("Message from Ann to Bob\nhi", "PC1", 2);
    EXPECT_EQ(history.current()->text, Stamped("M[Ann|Bob\nhi]"));
    EXPECT_EQ(folder.Contents(std::string(kMessagesFolder) + "2PC1.qms"), "0PC1\r\n" + Stamped("M[Ann|Bob\nhi]"));
    Arrive("Message from Ann but no recipient", "PC1", 3);
    EXPECT_EQ(history.current()->text, Stamped("Message from Ann but no recipient"));
}

TEST_F(Intake, FileNamesTakeASafePrefixAndTheSenderStaysAsDelivered) {
    struct Case {
        std::string sender, name;
    };
    std::int64_t second = 100;
    for (const Case& c : {Case{"PC7/10.1.1.5", "PC7"}, Case{"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP"},
                          Case{"..\\..\\x", ".._.._x"}, Case{"a:b", "a_b"}, Case{"10.0.0.5:u", "10.0.0.5_u"}}) {
        ++second;
        Arrive("text", c.sender, second);
        const std::string path = std::string(kMessagesFolder) + std::to_string(second) + c.name + ".qms";
        EXPECT_EQ(history.current()->filePath, path) << c.sender;
        EXPECT_EQ(folder.Contents(path), "0" + c.sender + "\r\n" + Stamped("text")) << c.sender;
        EXPECT_EQ(history.current()->sender, c.sender);
    }
    EXPECT_EQ(folder.Paths().size(), 5u);
}

TEST_F(Intake, LineBreaksInTheSenderBecomeBlanksSoTheFileReadsBackAsShown) {
    IntakeResult result = Arrive("body", "PC\r\n7", 9);
    EXPECT_EQ(result.sender, "PC  7");
    EXPECT_EQ(history.current()->sender, "PC  7");
    const std::string path = std::string(kMessagesFolder) + "9PC__7.qms";
    auto file = ReadMessageFile(*folder.Contents(path));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->sender, history.current()->sender);
    EXPECT_EQ(file->text, history.current()->text);
}

TEST_F(Intake, TextEndsAtANulAsTheHandOffStringDoes) {
    Arrive("visible\0hidden"s, "Ann", 9);
    EXPECT_EQ(history.current()->text, Stamped("visible"));
    EXPECT_EQ(folder.Contents(std::string(kMessagesFolder) + "9Ann.qms"), "0Ann\r\n" + Stamped("visible"));
}

TEST_F(Intake, TwoMessagesOfOneSecondFromOnePrefixBothKeepTheirFiles) {
    Arrive("first", "Ann/10.0.0.1", 50);
    Arrive("second", "Ann/10.0.0.2", 50);
    const std::string first = std::string(kMessagesFolder) + "50Ann.qms";
    const std::string second = std::string(kMessagesFolder) + "50Ann~2.qms";
    EXPECT_EQ(history.at(1)->filePath, first);
    EXPECT_EQ(history.at(2)->filePath, second);
    EXPECT_EQ(folder.Contents(first), "0Ann/10.0.0.1\r\n" + Stamped("first"));
    EXPECT_EQ(folder.Contents(second), "0Ann/10.0.0.2\r\n" + Stamped("second"));
}

TEST_F(Intake, TheOldestLeavesWhenTheLimitIsPassedButItsFileStays) {
    settings.MessageCountLimit = 3;
    for (int i = 1; i <= 3; ++i) EXPECT_FALSE(Arrive("m" + std::to_string(i), "Ann", i).trimmed);
    IntakeResult result = Arrive("m4", "Ann", 4);
    EXPECT_TRUE(result.trimmed);
    EXPECT_EQ(history.count(), 3u);
    EXPECT_EQ(history.currentPosition(), 3u);
    EXPECT_EQ(history.oldest()->text, Stamped("m2"));
    EXPECT_EQ(history.current()->text, Stamped("m4"));
    EXPECT_TRUE(folder.Contents(std::string(kMessagesFolder) + "1Ann.qms"));
    EXPECT_EQ(folder.Paths().size(), 4u);
}

TEST_F(Intake, AboveTheLimitEachArrivalDropsExactlyOne) {
    settings.MessageCountLimit = 3;
    for (int i = 1; i <= 6; ++i) history.Append(MessageEntry{"old" + std::to_string(i), "x", std::nullopt, false});
    Arrive("a", "Ann", 1);
    EXPECT_EQ(history.count(), 6u);
    EXPECT_EQ(history.currentPosition(), 6u);
    Arrive("b", "Ann", 2);
    EXPECT_EQ(history.count(), 6u);
    EXPECT_EQ(history.oldest()->text, "old3");
}

TEST_F(Intake, ALimitOfZeroKeepsTheMessageThatJustArrived) {
    settings.MessageCountLimit = 0;
    Arrive("first", "Ann", 1);
    EXPECT_EQ(history.count(), 1u);
    Arrive("second", "Ann", 2);
    ASSERT_EQ(history.count(), 1u);
    EXPECT_EQ(history.current()->text, Stamped("second"));
}

}  // namespace
}  // namespace tavik::store
