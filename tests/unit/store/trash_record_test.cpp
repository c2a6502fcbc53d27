#include "core/store/trash_record.h"

#include <gtest/gtest.h>

namespace tavik::store {
namespace {

using namespace std::string_literals;

TEST(TrashRecordLayout, IsPositionPathFlagSenderTextEachClosedByCrLf) {
    const TrashRecord record{2, "C:\\D\\messages\\1Ann.qms", true, "Ann", "Monday\r\nhi"};
    EXPECT_EQ(EncodeTrashRecord(record),
              "\x02\x00\x00\x00\r\nC:\\D\\messages\\1Ann.qms\r\n\x01"s
              "Ann\r\nMonday\r\nhi\r\n");
    EXPECT_EQ(EncodeTrashRecord(TrashRecord{0x01020304, "p", false, "s", "t"}),
              "\x04\x03\x02\x01\r\np\r\n\x00s\r\nt\r\n"s);
}

TEST(TrashRecordLayout, EmptyRecordIsThirteenBytes) {
    const std::string empty = EncodeTrashRecord(TrashRecord{});
    EXPECT_EQ(empty, "\0\0\0\0\r\n\r\n\0\r\n\r\n"s);
    EXPECT_EQ(empty.size(), kMinTrashRecordSize);
    auto decoded = DecodeTrashRecord(empty);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->position, 0u);
    EXPECT_EQ(decoded->filePath, "");
    EXPECT_FALSE(decoded->highPriority);
    EXPECT_EQ(decoded->sender, "");
    EXPECT_EQ(decoded->text, "");
    EXPECT_FALSE(DecodeTrashRecord(empty.substr(0, 12)));
}

TEST(TrashRecord, RoundTripsLeaveEveryFieldAsItWas) {
    const std::vector<TrashRecord> records = {
        {1, "", false, "", ""},
        {2, "C:\\D\\messages\\5Ann.qms", false, "", ""},
        {3, "", true, "PC7/10.1.1.5", ""},
        {4, "", false, "", "Monday\r\nbody"},
        {200, "C:\\D\\messages\\5Ann~2.qms", true, "Ann", "Monday\r\nends with a line break\r\n"},
        {0xFFFFFFFFu, "p", false, "s", "\r\n"},
        {7, "p", true, "s", "a\rb\nc\r\n\r\nd"},
    };
    for (const TrashRecord& record : records) {
        auto decoded = DecodeTrashRecord(EncodeTrashRecord(record));
        ASSERT_TRUE(decoded) << record.position;
        EXPECT_EQ(decoded->position, record.position);
        EXPECT_EQ(decoded->filePath, record.filePath);
        EXPECT_EQ(decoded->highPriority, record.highPriority);
        EXPECT_EQ(decoded->sender, record.sender);
        EXPECT_EQ(decoded->text, record.text) << record.position;
    }
}

TEST(TrashRecord, OnlyByteOneMarksHighPriority) {
    auto decoded = DecodeTrashRecord("\x01\0\0\0\r\np\r\n1sender\r\ntext\r\n"s);
    ASSERT_TRUE(decoded);
    EXPECT_FALSE(decoded->highPriority);
    EXPECT_EQ(decoded->sender, "sender");
}

TEST(TrashRecord, MissingLineEndsRestoreNothing) {
    // No CR after the path.
    EXPECT_FALSE(DecodeTrashRecord("\x01\0\0\0\r\nC:\\path without end"s));
    // No CR after the sender.
    EXPECT_FALSE(DecodeTrashRecord("\x01\0\0\0\r\np\r\n\x01sender without end"s));
    // The path's CR is the last byte or the one before it: the flag would lie outside.
    EXPECT_FALSE(DecodeTrashRecord("\x01\0\0\0\r\nabcdefg\r"s));
    EXPECT_FALSE(DecodeTrashRecord("\x01\0\0\0\r\nabcdef\r\n"s));
    // Flag is the last byte: the sender has no CR.
    EXPECT_FALSE(DecodeTrashRecord("\x01\0\0\0\r\nabcde\r\n\x01"s));
}

TEST(TrashRecord, NeverLooksPastTheBytesGiven) {
    const std::string buffer = "\x05\0\0\0\r\npath\r\n\x00sender\r\ntext\r\n"s;
    // The sender's CR lies just outside the bytes given.
    const std::size_t senderEnd = buffer.find("\r\ntext");
    EXPECT_FALSE(DecodeTrashRecord(std::string_view(buffer).substr(0, senderEnd)));
    // Cut inside the closing line end: the text keeps what it has.
    auto cut = DecodeTrashRecord(std::string_view(buffer).substr(0, buffer.size() - 1));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->text, "text\r");
    // The sender's CR is the last byte: the text is empty.
    auto bare = DecodeTrashRecord(std::string_view(buffer).substr(0, senderEnd + 1));
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->sender, "sender");
    EXPECT_EQ(bare->text, "");
}

TEST(TrashRecord, StringsEndAtANul) {
    auto decoded = DecodeTrashRecord("\x01\0\0\0\r\npa\0th\r\n\x01se\0nder\r\nte\0xt\r\n"s);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->filePath, "pa");
    EXPECT_EQ(decoded->sender, "se");
    EXPECT_EQ(decoded->text, "te");
}

TEST(TrashRecordPath, NamesTheNumberedRecordInTheTrashFolder) {
    EXPECT_EQ(TrashRecordPath("C:\\D\\", 0), "C:\\D\\trash\\del_mess0.qms");
    EXPECT_EQ(TrashRecordPath("C:\\D\\", 12), "C:\\D\\trash\\del_mess12.qms");
    EXPECT_EQ(TrashRecordPath("C:\\D", -1), "C:\\D\\trash\\del_mess-1.qms");
    EXPECT_EQ(TrashFolder("C:\\D\\"), "C:\\D\\trash\\");
}

}  // namespace
}  // namespace tavik::store
