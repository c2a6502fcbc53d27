#include "core/shell/display_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tavik::shell {
namespace {

std::string WithoutAddedBreaks(const DisplayText& display) { return OriginalOfRange(display, 0, display.text.size()); }

TEST(DisplayText, LongRunsAreCutAtABlankOrHardAndMapBackWhole) {
    const std::string shortLines = "one line\r\nanother";
    EXPECT_EQ(MakeDisplayText(shortLines, 8).text, shortLines);
    EXPECT_TRUE(MakeDisplayText(shortLines, 8).inserted.empty());

    DisplayText hard = MakeDisplayText("abcdefghij", 4);
    EXPECT_EQ(hard.text, "abcd\r\nefgh\r\nij");
    EXPECT_EQ(WithoutAddedBreaks(hard), "abcdefghij");

    DisplayText atBlank = MakeDisplayText("ab cdefg hi", 5);
    EXPECT_EQ(atBlank.text, "ab \r\ncdefg\r\n hi");
    EXPECT_EQ(WithoutAddedBreaks(atBlank), "ab cdefg hi");

    const std::string huge(65000, 'x');
    DisplayText big = MakeDisplayText(huge);
    EXPECT_EQ(WithoutAddedBreaks(big), huge);
    EXPECT_EQ(big.inserted.size(), (huge.size() - 1) / kLongestDisplayRun);
}

TEST(DisplayText, ASelectionCopiesOnlyOriginalBytes) {
    DisplayText display = MakeDisplayText("abcdefghij", 4);  // "abcd\r\nefgh\r\nij"
    EXPECT_EQ(OriginalOfRange(display, 2, 8), "cdef");
    EXPECT_EQ(OriginalOfRange(display, 4, 6), "");   // only the added break
    EXPECT_EQ(OriginalOfRange(display, 5, 7), "e");  // starts inside the break
    EXPECT_EQ(OriginalOfRange(display, 0, 999), "abcdefghij");
    EXPECT_EQ(OriginalOfRange(display, 7, 3), "");
    // Breaks that were in the message stay in a copy.
    DisplayText own = MakeDisplayText("ab\r\ncd", 4);
    EXPECT_EQ(OriginalOfRange(own, 1, 5), "b\r\nc");
}

TEST(DisplayText, PlainTildesAreShownButTheSmallTildeIsCopied) {
    const std::string message = "5\x98 a\x98\x98" "bcdefgh\r\n\x98";
    DisplayText plain = MakeDisplayText(message, 4, true);  // "5~ \r\na~~b\r\ncdef\r\ngh\r\n~"
    EXPECT_EQ(plain.text.find(kSmallTilde), std::string::npos);
    EXPECT_EQ(OriginalOfRange(plain, 0, plain.text.size()), message);
    EXPECT_EQ(OriginalOfRange(plain, 6, 13), "\x98\x98" "bcd");
    EXPECT_EQ(MakeDisplayText(message, 4).text.find(kSmallTilde), 1u);
    EXPECT_EQ(WithPlainTildes("\x98x\x98"), "~x~");
}

}  // namespace
}  // namespace tavik::shell
