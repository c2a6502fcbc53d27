#include "core/net/tcp_framing.h"

#include <gtest/gtest.h>

namespace tavik::net {
namespace {

using namespace std::string_literals;

TEST(TcpFraming, TakesEveryFieldOfAFullMessage) {
    auto fields = ParseTcpFraming("x/$0Hi there/$1PC1/$2/$31/$4/$510.0.0.6:900/$6/$7");
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->text, "Hi there");
    EXPECT_EQ(fields->name, "PC1");
    EXPECT_EQ(fields->flag, '1');
    EXPECT_EQ(fields->replyAddress, "10.0.0.6:900");
}

TEST(TcpFraming, IgnoresWhatComesBeforeTheTextMarker) {
    auto fields = ParseTcpFraming("MESSAGE junk /$1 /$0Hi/$1PC1/$2/$3 /$4/$5/$6/$7");
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->text, "Hi");
    EXPECT_EQ(fields->name, "PC1");
    EXPECT_EQ(fields->flag, ' ');
    EXPECT_EQ(fields->replyAddress, "");
}

TEST(TcpFraming, TextRunsToTheLastNameMarker) {
    auto fields = ParseTcpFraming("/$0a/$1b/$1c/$1PC/$2/$30/$4/$5/$6/$7");
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->text, "a/$1b/$1c");
    EXPECT_EQ(fields->name, "PC");
}

TEST(TcpFraming, RefusesWithoutARequiredMarkerOrEndMark) {
    EXPECT_FALSE(ParseTcpFraming("Hi/$1PC/$2/$30/$4/$5/$6/$7")) << "no /$0";
    EXPECT_FALSE(ParseTcpFraming("/$0Hi PC/$2/$30/$4/$5/$6/$7")) << "no /$1";
    EXPECT_FALSE(ParseTcpFraming("/$0Hi/$1PC/$30/$4/$5/$6/$7")) << "no /$2";
    EXPECT_FALSE(ParseTcpFraming("/$0Hi/$1PC/$2/$30/$4/$5/$6")) << "no end mark";
    EXPECT_FALSE(ParseTcpFraming("/$0Hi/$1PC/$2/$30/$4/$5/$6/$7 ")) << "end mark not last";
    EXPECT_FALSE(ParseTcpFraming("/$0Hi/$1PC/$2/$30/$4")) << "/$4 needs its line feed";
    EXPECT_FALSE(ParseTcpFraming(""));
    // A "/$1" only before the text marker does not count.
    EXPECT_FALSE(ParseTcpFraming("/$1/$0Hi PC/$2/$7"));
}

TEST(TcpFraming, AcceptsTheLineFeedEndMark) {
    auto fields = ParseTcpFraming("/$0Hi/$1PC/$2/$31/$4\n");
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->text, "Hi");
    EXPECT_EQ(fields->name, "PC");
    EXPECT_EQ(fields->flag, '1');
    EXPECT_EQ(fields->replyAddress, "");
}

TEST(TcpFraming, EndsAtTheFirstNul) {
    // The end mark after the NUL is not seen.
    EXPECT_FALSE(ParseTcpFraming("/$0Hi/$1PC/$2\0/$30/$4/$5/$6/$7"s));
    auto fields = ParseTcpFraming("/$0Hi/$1PC/$2/$7\0trailing"s);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->text, "Hi");
}

TEST(TcpFraming, LaterMarkersMissingLeaveTheirFieldsEmpty) {
    // No /$3: no flag and no reply address, though /$5 is there.
    auto noFlag = ParseTcpFraming("/$0Hi/$1PC/$2/$4/$510.0.0.1:5/$6/$7");
    ASSERT_TRUE(noFlag);
    EXPECT_EQ(noFlag->flag, '\0');
    EXPECT_EQ(noFlag->replyAddress, "");
    // The flag counts only when a /$4 follows it.
    auto flagWithoutFour = ParseTcpFraming("/$0Hi/$1PC/$2/$31/$7");
    ASSERT_TRUE(flagWithoutFour);
    EXPECT_EQ(flagWithoutFour->flag, '\0');
    // No /$6 after /$5: the reply address stays empty.
    auto noSix = ParseTcpFraming("/$0Hi/$1PC/$2/$31/$4/$510.0.0.1:5/$7");
    ASSERT_TRUE(noSix);
    EXPECT_EQ(noSix->flag, '1');
    EXPECT_EQ(noSix->replyAddress, "");
}

TEST(TcpFraming, TheReplyAddressEndsAtTheFirstSixthMarker) {
    auto fields = ParseTcpFraming("/$0Hi/$1PC/$2/$30/$4/$5a:1/$6b:2/$6/$4\n");
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->replyAddress, "a:1");
}

TEST(TcpFraming, EmptyTextAndNameAreFields) {
    auto fields = ParseTcpFraming("/$0/$1/$2/$30/$4/$5/$6/$7");
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->text, "");
    EXPECT_EQ(fields->name, "");
}

TEST(TcpFraming, EndMarkCheckSeesBothForms) {
    EXPECT_TRUE(EndsWithTcpEndMark("abc/$7"));
    EXPECT_TRUE(EndsWithTcpEndMark("abc/$4\n"));
    EXPECT_FALSE(EndsWithTcpEndMark("abc/$4"));
    EXPECT_FALSE(EndsWithTcpEndMark("abc/$7\n"));
    EXPECT_FALSE(EndsWithTcpEndMark("$7"));
}

}  // namespace
}  // namespace tavik::net
