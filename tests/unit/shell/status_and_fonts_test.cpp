#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/font_steps.h"
#include "core/shell/status_text.h"

namespace tavik {
namespace {

StatusTexts Texts() {
    return {"Quorlex Tavik", "No new messages", "%d new messages", "%d new message",
            "Quorlex Tavik - message %d of %d"};
}

TEST(DescribeStatus, FollowsTheCountOfMessages) {
    StatusView three = DescribeStatus(Texts(), 3, 3);
    EXPECT_EQ(three.title, "Quorlex Tavik - message 3 of 3");
    EXPECT_EQ(three.tip, "3 new messages");
    EXPECT_EQ(three.iconName, "IDI_ICON3");

    StatusView one = DescribeStatus(Texts(), 1, 1);
    EXPECT_EQ(one.tip, "1 new message");
    EXPECT_EQ(one.iconName, "IDI_ICON1");

    EXPECT_EQ(DescribeStatus(Texts(), 2, 10).iconName, "IDI_ICON10");
    EXPECT_EQ(DescribeStatus(Texts(), 25, 25).iconName, "IDI_ICON11");

    StatusView none = DescribeStatus(Texts(), 0, 0);
    EXPECT_EQ(none.title, "Quorlex Tavik");
    EXPECT_EQ(none.tip, "No new messages");
    EXPECT_EQ(none.iconName, "IDI_A_TAVIK");
}

TEST(DescribeStatus, CutsTheTipToTheTrayLimit) {
    StatusTexts texts = Texts();
    texts.manyTipFormat = std::string(80, 'x') + " %d";
    EXPECT_EQ(DescribeStatus(texts, 1, 5).tip, std::string(63, 'x'));
}

TEST(FontSteps, WalkTheSizeListBothWaysAndStopAtTheEnds) {
    std::vector<std::uint32_t> up{7};
    while (auto next = LargerFontSize(up.back())) up.push_back(*next);
    EXPECT_EQ(up, (std::vector<std::uint32_t>{7, 8, 9, 10, 11, 12, 14, 16}));

    std::vector<std::uint32_t> down{16};
    while (auto next = SmallerFontSize(down.back())) down.push_back(*next);
    EXPECT_EQ(down, (std::vector<std::uint32_t>{16, 14, 12, 10, 9, 8, 7}));

    EXPECT_EQ(SmallerFontSize(12), 10u);
    EXPECT_FALSE(LargerFontSize(16).has_value());
    EXPECT_FALSE(SmallerFontSize(7).has_value());
}

TEST(FontSteps, HeightsOfTheMessageFont) {
    std::vector<int> heights;
    for (std::uint32_t size : {7u, 8u, 9u, 10u, 11u, 12u, 14u, 16u}) heights.push_back(MessageFontHeight(size));
    EXPECT_EQ(heights, (std::vector<int>{-9, -11, -12, -13, -15, -16, -19, -22}));
    // A size from the registry is used within bounds: a huge one cannot overflow the height.
    EXPECT_EQ(MessageFontHeight(0xFFFFFFFFu), MessageFontHeight(72));
    EXPECT_EQ(MessageFontHeight(0), MessageFontHeight(6));
}

}  // namespace
}  // namespace tavik
