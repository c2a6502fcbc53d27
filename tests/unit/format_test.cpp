#include "core/text/format.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(FormatText, SubstitutesInOrderAndKeepsUnmatchedConversions) {
    EXPECT_EQ(FormatText("Tavik - %d of %d", {std::int64_t{3}, std::int64_t{7}}), "Tavik - 3 of 7");
    EXPECT_EQ(FormatText("%s to %s", {std::string_view("A"), std::string_view("B")}), "A to B");
    EXPECT_EQ(FormatText("100%% %s", {std::string_view("sure")}), "100% sure");
    // Too few arguments or a kind mismatch: the conversion stays as written, nothing is read.
    EXPECT_EQ(FormatText("%s and %s", {std::string_view("one")}), "one and %s");
    EXPECT_EQ(FormatText("%d", {std::string_view("x")}), "%d");
    EXPECT_EQ(FormatText("ends with %", {}), "ends with %");
}

TEST(CutText, CutsToTheLimit) {
    EXPECT_EQ(CutText("abcdef", 3), "abc");
    EXPECT_EQ(CutText("ab", 3), "ab");
}

}  // namespace
}  // namespace tavik
