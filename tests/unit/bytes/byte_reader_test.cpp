#include "core/bytes/byte_reader.h"

#include <gtest/gtest.h>

#include <string_view>

namespace tavik::bytes {
namespace {

using namespace std::string_view_literals;

TEST(ByteReader, ReadsInOrderWithinTheBytes) {
    ByteReader reader("abcdefXY"sv.substr(0, 6));
    EXPECT_EQ(reader.PeekByte(), 'a');
    EXPECT_EQ(reader.ReadByte(), 'a');
    EXPECT_EQ(reader.ReadBytes(2), "bc");
    reader.Skip(1);
    EXPECT_EQ(reader.Position(), 4u);
    EXPECT_EQ(reader.Remaining(), 2u);
    // The rest stops at the end of the view, not at the end of the buffer behind it.
    EXPECT_EQ(reader.ReadRest(), "ef");
    EXPECT_EQ(reader.PeekByte(), 0);
    EXPECT_EQ(reader.ReadBytes(0), "");
    EXPECT_TRUE(reader.Ok());
}

TEST(ByteReader, AReadPastTheEndFailsAndEveryLaterReadFailsToo) {
    ByteReader reader("\x01\x02\x03"sv);
    EXPECT_EQ(reader.ReadU32LE(), 0u);
    EXPECT_FALSE(reader.Ok());
    EXPECT_EQ(reader.Position(), 0u);
    // Bytes remain, yet nothing more is handed out.
    EXPECT_EQ(reader.ReadByte(), 0);
    EXPECT_EQ(reader.PeekByte(), 0);
    EXPECT_EQ(reader.ReadUpToNulOrEnd(), "");
    EXPECT_EQ(reader.ReadRest(), "");
    EXPECT_FALSE(reader.Ok());

    ByteReader skipping("ab"sv);
    skipping.Skip(3);
    EXPECT_FALSE(skipping.Ok());
    EXPECT_EQ(skipping.Position(), 0u);
}

TEST(ByteReader, ValuesAreLittleEndian) {
    ByteReader reader("\x34\x12\x78\x56\x34\xF2\xFF"sv);
    EXPECT_EQ(reader.ReadU16LE(), 0x1234u);
    EXPECT_EQ(reader.ReadU32LE(), 0xF2345678u);
    EXPECT_TRUE(reader.Ok());
    EXPECT_EQ(reader.ReadU16LE(), 0u);
    EXPECT_FALSE(reader.Ok());
}

TEST(ByteReader, TerminatedTextConsumesItsTerminatorAndFailsWithoutOne) {
    ByteReader reader("ann\0\0bob\r\nrest"sv);
    EXPECT_EQ(reader.ReadNulTerminated(), "ann");
    EXPECT_EQ(reader.ReadNulTerminated(), "");
    EXPECT_EQ(reader.ReadTerminated("\r\n"), "bob");
    EXPECT_EQ(reader.Position(), 10u);
    EXPECT_TRUE(reader.Ok());
    EXPECT_EQ(reader.ReadNulTerminated(), "");
    EXPECT_FALSE(reader.Ok());
    EXPECT_EQ(reader.Position(), 10u);

    ByteReader lenient("a\0b"sv);
    EXPECT_EQ(lenient.ReadUpToNulOrEnd(), "a");
    EXPECT_EQ(lenient.ReadUpToNulOrEnd(), "b");
    EXPECT_EQ(lenient.ReadUpToNulOrEnd(), "");
    EXPECT_EQ(lenient.Remaining(), 0u);
    EXPECT_TRUE(lenient.Ok());

    EXPECT_EQ(UpToNul("text\0more"sv), "text");
    EXPECT_EQ(UpToNul("no nul"), "no nul");
}

}  // namespace
}  // namespace tavik::bytes
