// The allow-list carry-over of TavikSetup and the reading of registry string bytes.

#include "core/setup/allow_list.h"

#include <gtest/gtest.h>

#include <string>

namespace tavik::setup {
namespace {

using namespace std::string_literals;

TEST(AllowListTest, OldAcceptAllBecomesStar) {
    EXPECT_EQ(RewriteAllowList("*.*.*.*\0"s), "*\0"s);
    // Stored without its terminator: the text is the same, and the result is terminated.
    EXPECT_EQ(RewriteAllowList("*.*.*.*"s), "*\0"s);
    // Bytes after the terminator are not part of the text.
    EXPECT_EQ(RewriteAllowList("*.*.*.*\0junk"s), "*\0"s);
}

TEST(AllowListTest, EveryOtherListIsKeptByteForByte) {
    for (const std::string& stored : {"*.*.*.*;*\0"s, "*.*.*.*.\0"s, "*.*.*\0"s, "*\0"s, ""s, " *.*.*.*\0"s,
                                      "*.*.*.* \0"s, "x\0*.*.*.*\0"s, "a\0b\0\0"s, "10.*.*.*\0"s}) {
        EXPECT_EQ(RewriteAllowList(stored), stored) << "stored: " << stored;
    }
}

TEST(AllowListTest, RegistryTextStopsAtTheFirstNulOrTheEndOfTheBytes) {
    EXPECT_EQ(TextOfRegistryBytes("mail.example.org\0"s), "mail.example.org");
    EXPECT_EQ(TextOfRegistryBytes("no terminator"s), "no terminator");
    EXPECT_EQ(TextOfRegistryBytes("a\0b"s), "a");
    EXPECT_EQ(TextOfRegistryBytes(""s), "");
    // Only the bytes handed in are looked at, never the memory after them.
    const std::string buffer = "abcdef";
    EXPECT_EQ(TextOfRegistryBytes(std::string_view(buffer.data(), 3)), "abc");
}

}  // namespace
}  // namespace tavik::setup
