#include "core/store/message_file.h"

#include <gtest/gtest.h>

#include "core/store/memory_message_folder.h"
#include "core/store/name_copies.h"

namespace tavik::store {
namespace {

using namespace std::string_literals;

TEST(MessageFileLayout, IsFlagSenderCrLfAndStampedTextWithNothingElse) {
    EXPECT_EQ(EncodeMessageFile(false, "Ann", "Monday, 10:15\r\nhello\nthere"),
              "0Ann\r\nMonday, 10:15\r\nhello\nthere");
    EXPECT_EQ(EncodeMessageFile(true, "PC7/10.1.1.5", "d\r\nx"), "1PC7/10.1.1.5\r\nd\r\nx");
    EXPECT_EQ(EncodeMessageFile(false, "", ""), "0\r\n");
}

TEST(ReadMessageFile, TakesFlagSenderAndTextFromTheirPlaces) {
    auto file = ReadMessageFile("1PC7/10.1.1.5\r\nMonday\r\nline one\r\nline two\r\n");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->highPriority);
    EXPECT_EQ(file->sender, "PC7/10.1.1.5");
    EXPECT_EQ(file->text, "Monday\r\nline one\r\nline two\r\n");

    // Only "1" marks high priority.
    for (char flag : {'0', 'x', '\x01', '2'}) {
        auto normal = ReadMessageFile(std::string(1, flag) + "Bob\r\ntext");
        ASSERT_TRUE(normal) << flag;
        EXPECT_FALSE(normal->highPriority) << flag;
        EXPECT_EQ(normal->sender, "Bob");
    }

    auto bare = ReadMessageFile("0\r\n");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->sender, "");
    EXPECT_EQ(bare->text, "");
}

TEST(ReadMessageFile, RefusesBytesWithoutSenderLine) {
    for (const std::string& bytes : {""s, "0"s, "0Bob only one line"s, "0Bob\r"s, "0Bob\n\r"s, "0Bob\rx\ny"s,
                                     // a CR LF in the flag's place is no sender line
                                     "\r\nBob"s}) {
        EXPECT_FALSE(ReadMessageFile(bytes)) << bytes;
    }
}

TEST(ReadMessageFile, HandlesTheBytesAsOneNulTerminatedString) {
    auto cut = ReadMessageFile("0Bob\r\nab\0cd"s);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->text, "ab");
    // A NUL before the line end hides it.
    EXPECT_FALSE(ReadMessageFile("0Bo\0b\r\ntext"s));
    EXPECT_FALSE(
        ReadMessageFile("\0"s
                        "0Bob\r\ntext"s));
}

TEST(ReadMessageFile, NeverLooksPastTheBytesGiven) {
    const std::string buffer = "0Bob\r\nhello WORLD";
    auto file = ReadMessageFile(std::string_view(buffer).substr(0, 11));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->text, "hello");
    // The LF that would complete the line end lies outside the bytes read.
    EXPECT_FALSE(ReadMessageFile(std::string_view(buffer).substr(0, 5)));
}

TEST(ReadMessageFile, ReadsBackWhatWasEncoded) {
    struct Case {
        bool high;
        std::string sender, text;
    };
    for (const Case& c : {Case{false, "Ann", "d\r\nhi"}, Case{true, "", ""}, Case{true, "PC7/10.1.1.5:u", "d\r\n\r\n"},
                          Case{false, "x", "d\r\nline\rwith\nodd\r\nbreaks"}}) {
        auto file = ReadMessageFile(EncodeMessageFile(c.high, c.sender, c.text));
        ASSERT_TRUE(file);
        EXPECT_EQ(file->highPriority, c.high);
        EXPECT_EQ(file->sender, c.sender);
        EXPECT_EQ(file->text, c.text);
    }
}

TEST(StoredSender, TurnsLineBreaksIntoBlanksAndEndsAtNul) {
    EXPECT_EQ(StoredSender("PC\r\n7"), "PC  7");
    EXPECT_EQ(StoredSender("a\rb\nc"), "a b c");
    EXPECT_EQ(StoredSender("Ann\0hidden"s), "Ann");
    EXPECT_EQ(StoredSender("..\\x/1.2.3.4:u"), "..\\x/1.2.3.4:u");
}

TEST(SenderPrefix, IsTheNameBeforeTheSlashAtMostSixteenCharacters) {
    EXPECT_EQ(SenderPrefix("PC7/10.1.1.5"), "PC7");
    EXPECT_EQ(SenderPrefix("ABCDEFGHIJKLMNOPQRST"), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(SenderPrefix("ABCDEFGHIJKLMNOPQRST/1.2.3.4"), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(SenderPrefix("/10.0.0.5"), "");
    EXPECT_EQ(SenderPrefix(""), "");
    // The cut comes first: a character beyond the sixteenth does not show.
    EXPECT_EQ(SenderPrefix("abcdefghijklmnop:q"), "abcdefghijklmnop");
}

TEST(SenderPrefix, ReplacesWhatAFileNameCannotSafelyHold) {
    EXPECT_EQ(SenderPrefix("..\\..\\x"), ".._.._x");
    EXPECT_EQ(SenderPrefix("a:b"), "a_b");
    EXPECT_EQ(SenderPrefix("10.0.0.5:u"), "10.0.0.5_u");
    EXPECT_EQ(SenderPrefix("*?\"<>|"), "______");
    EXPECT_EQ(SenderPrefix("a\tb\x01\x1f\x7f"), "a_b___");
    EXPECT_EQ(SenderPrefix("PC\r\n7"), "PC__7");
    // Letters of the ANSI code page above 0x7F are fine in a name.
    EXPECT_EQ(SenderPrefix("J\xe9r\xf4me"), "J\xe9r\xf4me");
    EXPECT_EQ(SenderPrefix("Ann-Marie_2 (x)."), "Ann-Marie_2 (x).");
}

TEST(MessageFilePath, JoinsFolderSecondsPrefixAndSuffix) {
    EXPECT_EQ(MessageFilePath("C:\\D\\", 1714990500, "PC7/10.1.1.5"), "C:\\D\\messages\\1714990500PC7.qms");
    EXPECT_EQ(MessageFilePath("C:\\D\\", 999999999, "ABCDEFGHIJKLMNOPQRST"),
              "C:\\D\\messages\\999999999ABCDEFGHIJKLMNOP.qms");
    EXPECT_EQ(MessageFilePath("C:\\D\\", 5, "Ann", 3), "C:\\D\\messages\\5Ann~3.qms");
    // A data directory without its closing backslash still names a file inside it.
    EXPECT_EQ(MessageFilePath("C:\\D", 5, "Ann"), "C:\\D\\messages\\5Ann.qms");
    // A hostile sender cannot leave the messages folder or name a stream.
    const std::string escaped = MessageFilePath("C:\\D\\", 5, "..\\..\\x");
    EXPECT_EQ(escaped, "C:\\D\\messages\\5.._.._x.qms");
    EXPECT_EQ(escaped.rfind('\\'), std::string("C:\\D\\messages").size());
    EXPECT_EQ(MessageFilePath("C:\\D\\", 5, "a:b").find(':', 2), std::string::npos);
}

TEST(StagingPath, IsTheFolderAboveTheTargetsOwnOrBesideTheTarget) {
    EXPECT_EQ(StagingPathFor("C:\\D\\messages\\5Ann.qms"), "C:\\D\\5Ann.qms.tmp");
    EXPECT_EQ(StagingPathFor("\\\\srv\\share\\D\\trash\\del_mess0.qms"), "\\\\srv\\share\\D\\del_mess0.qms.tmp");
    EXPECT_EQ(StagingPathFor("C:\\D\\\\trash\\\\del_mess0.qms"), "C:\\D\\\\del_mess0.qms.tmp");
    // Never a drive's root nor the unknown parent of a relative folder.
    EXPECT_EQ(StagingPathFor("C:\\messages\\5Ann.qms"), "C:\\messages\\5Ann.qms.tmp");
    EXPECT_EQ(StagingPathFor("messages\\5Ann.qms"), "messages\\5Ann.qms.tmp");
    EXPECT_EQ(StagingPathFor("\\5Ann.qms"), "\\5Ann.qms.tmp");
    EXPECT_EQ(StagingPathFor("5Ann.qms"), "5Ann.qms.tmp");
}

class MessageFileNames : public ::testing::Test {
protected:
    MessageFileNames() { folder.MakeFolder("C:\\D\\messages\\"); }
    MemoryMessageFolder folder;
};

TEST_F(MessageFileNames, ATakenNameGetsTheNextFreeCopyNumber) {
    const std::string path = MessageFilePath("C:\\D\\", 77, "Ann");
    EXPECT_EQ(WriteNewMessageFile(folder, path, false, "Ann", "first"), "C:\\D\\messages\\77Ann.qms");
    EXPECT_EQ(WriteNewMessageFile(folder, path, true, "Ann", "second"), "C:\\D\\messages\\77Ann~2.qms");
    EXPECT_EQ(WriteNewMessageFile(folder, path, false, "Ann", "third"), "C:\\D\\messages\\77Ann~3.qms");
    EXPECT_EQ(folder.Contents("C:\\D\\messages\\77Ann.qms"), "0Ann\r\nfirst");
    EXPECT_EQ(folder.Contents("C:\\D\\messages\\77Ann~2.qms"), "1Ann\r\nsecond");
    EXPECT_EQ(folder.Contents("C:\\D\\messages\\77Ann~3.qms"), "0Ann\r\nthird");

    // A freed name is used again before any copy number.
    ASSERT_TRUE(folder.Remove("C:\\D\\messages\\77Ann.qms"));
    EXPECT_EQ(WriteNewMessageFile(folder, path, false, "Ann", "fourth"), "C:\\D\\messages\\77Ann.qms");
}

TEST_F(MessageFileNames, NamesDifferingOnlyInCaseAreTheSameFile) {
    EXPECT_EQ(WriteNewMessageFile(folder, MessageFilePath("C:\\D\\", 9, "Ann"), false, "Ann", "a"),
              "C:\\D\\messages\\9Ann.qms");
    EXPECT_EQ(WriteNewMessageFile(folder, MessageFilePath("C:\\D\\", 9, "ANN"), false, "ANN", "b"),
              "C:\\D\\messages\\9ANN~2.qms");
    EXPECT_EQ(folder.Paths().size(), 2u);
}

TEST_F(MessageFileNames, WriteMessageFileReplacesAndFailsWithoutAPlace) {
    const std::string path = "C:\\D\\messages\\1x.qms";
    ASSERT_TRUE(WriteMessageFile(folder, path, false, "x", "old"));
    ASSERT_TRUE(WriteMessageFile(folder, path, true, "x", "new"));
    EXPECT_EQ(folder.Contents(path), "1x\r\nnew");
    EXPECT_FALSE(WriteMessageFile(folder, "", false, "x", "t"));
    EXPECT_FALSE(WriteMessageFile(folder, "C:\\Missing\\messages\\1x.qms", false, "x", "t"));
    EXPECT_FALSE(WriteNewMessageFile(folder, "C:\\Missing\\messages\\1x.qms", false, "x", "t"));
    EXPECT_FALSE(WriteNewMessageFile(folder, "", false, "x", "t"));
    EXPECT_EQ(folder.Paths().size(), 1u);
}

// Counts the attempts to create a file, for the cost of finding a free name.
class CountingFolder final : public MessageFolder {
public:
    explicit CountingFolder(MemoryMessageFolder& inner) : inner_(inner) {}
    std::vector<FolderFile> ListFiles(const std::string& folder, std::string_view suffix) override {
        return inner_.ListFiles(folder, suffix);
    }
    std::optional<std::string> ReadWhole(const std::string& path, std::size_t maxBytes) override {
        return inner_.ReadWhole(path, maxBytes);
    }
    bool WriteWhole(const std::string& path, std::string_view bytes) override { return inner_.WriteWhole(path, bytes); }
    NewFileResult WriteNew(const std::string& path, std::string_view bytes) override {
        ++attempts;
        return inner_.WriteNew(path, bytes);
    }
    bool Remove(const std::string& path) override { return inner_.Remove(path); }
    bool Exists(const std::string& path) override { return inner_.Exists(path); }

    int attempts = 0;

private:
    MemoryMessageFolder& inner_;
};

TEST_F(MessageFileNames, AFloodFromOneSenderInOneSecondTriesEachNameOnce) {
    CountingFolder counting(folder);
    NameCopies copies;
    const std::string path = MessageFilePath("C:\\D\\", 77, "Ann");
    for (int i = 1; i <= 100; ++i) ASSERT_TRUE(WriteNewMessageFile(counting, path, false, "ANN", "m", &copies));
    EXPECT_EQ(counting.attempts, 100);
    EXPECT_EQ(folder.Paths().back(), "C:\\D\\messages\\77Ann~100.qms");
}

TEST_F(MessageFileNames, ANameTakenBehindTheProgramsBackIsSkippedAndKept) {
    NameCopies copies;
    const std::string path = MessageFilePath("C:\\D\\", 77, "Ann");
    ASSERT_TRUE(WriteNewMessageFile(folder, path, false, "Ann", "first", &copies));
    folder.Put("C:\\D\\messages\\77ANN~2.QMS", "theirs");
    EXPECT_EQ(WriteNewMessageFile(folder, path, false, "Ann", "second", &copies), "C:\\D\\messages\\77Ann~3.qms");
    EXPECT_EQ(folder.Contents("C:\\D\\messages\\77Ann~2.qms"), "theirs");

    // Once a message file went, its name is the first free one again.
    ASSERT_TRUE(folder.Remove("C:\\D\\messages\\77Ann.qms"));
    copies.Forget();
    EXPECT_EQ(WriteNewMessageFile(folder, path, false, "Ann", "third", &copies), "C:\\D\\messages\\77Ann.qms");
}

TEST_F(MessageFileNames, WriteNewNeverReplacesAFileOrAFolder) {
    folder.MakeFolder("C:\\D\\messages\\sub.qms");
    ASSERT_EQ(folder.WriteNew("C:\\D\\messages\\1x.qms", "first"), NewFileResult::Written);
    EXPECT_EQ(folder.WriteNew("C:\\D\\MESSAGES\\1X.QMS", "second"), NewFileResult::NameTaken);
    EXPECT_EQ(folder.WriteNew("C:\\D\\messages\\sub.qms", "x"), NewFileResult::NameTaken);
    EXPECT_EQ(folder.WriteNew("C:\\Missing\\1x.qms", "x"), NewFileResult::Failed);
    EXPECT_EQ(folder.Contents("C:\\D\\messages\\1x.qms"), "first");
}

}  // namespace
}  // namespace tavik::store
