#include "core/store/heading.h"

#include <gtest/gtest.h>

namespace tavik::store {
namespace {

// Formats that show exactly what went into each slot.
std::string Reword(std::string_view text) { return RewordHeading(text, "M[%s|%s]", "B[%s]", "A[%s]"); }

TEST(RewordHeading, MessageFromSplitsNameAndRestAtTheFirstTo) {
    EXPECT_EQ(Reword("Message from Ann to Bob\nhello"), "M[Ann|Bob\nhello]");
    EXPECT_EQ(Reword("Message from Ann to Bob on 6/5/2024\r\nhello\nworld"), "M[Ann|Bob on 6/5/2024\r\nhello\nworld]");
    EXPECT_EQ(Reword("Message from Ann to Bob to Carl\nx"), "M[Ann|Bob to Carl\nx]");
    EXPECT_EQ(Reword("Message from Ann to \nx"), "M[Ann|\nx]");
    // The one character after the phrase is passed over, whatever it is.
    EXPECT_EQ(Reword("Message from_Ann to Bob\nx"), "M[Ann|Bob\nx]");
    EXPECT_EQ(Reword("Message fromX to Bob\nx"), "M[|Bob\nx]");
}

TEST(RewordHeading, MessageFromStaysAsReceivedWithoutToBeforeTheLineFeed) {
    for (std::string_view text : {"Message from Ann to Bob", "Message from Ann\nsent to you",
                                  "Message from Ann\n to Bob", "Message from", "Message from ", "Message from Ann"}) {
        EXPECT_EQ(Reword(text), text);
    }
}

TEST(RewordHeading, NameThatWouldEndBeforeItBeginsKeepsTheText) {
    EXPECT_EQ(Reword("Message from to Bob\nhello"), "Message from to Bob\nhello");
}

TEST(RewordHeading, AutoanswerAndBroadcastTakeEverythingAfterPhraseAndOneCharacter) {
    EXPECT_EQ(Reword("Autoanswer from X"), "A[X]");
    EXPECT_EQ(Reword("Autoanswer from  X\nline"), "A[ X\nline]");
    EXPECT_EQ(Reword("Broadcast message from PC1\nhello"), "B[PC1\nhello]");
    // Only the phrase, or the phrase and one character: nothing to put in.
    EXPECT_EQ(Reword("Autoanswer from"), "A[]");
    EXPECT_EQ(Reword("Autoanswer from "), "A[]");
    EXPECT_EQ(Reword("Broadcast message from"), "B[]");
    EXPECT_EQ(Reword("Broadcast message fromZ"), "B[]");
}

TEST(RewordHeading, OtherTextsStayAsReceived) {
    for (std::string_view text : {"", "hello", "message from Ann to Bob\nx", "Message", "Autoanswer fro",
                                  " Broadcast message from X", "Message to Ann from Bob\nx"}) {
        EXPECT_EQ(Reword(text), text);
    }
}

TEST(RewordHeading, DefaultFormatsGiveTheTextBack) {
    const HeadingFormats defaults;
    for (std::string_view text :
         {"Message from Ann to Bob\nhello", "Autoanswer from X", "Broadcast message from Y\nz"}) {
        EXPECT_EQ(RewordHeading(text, defaults), text);
    }
}

TEST(RewordHeading, FormatsAreCutAsLoadedButTheMessageIsNot) {
    // A format longer than a resource text can be loses its tail, here its "%s".
    const std::string longFormat = std::string(95, 'x') + "%s";
    EXPECT_EQ(RewordHeading("Autoanswer from X", "", "", longFormat), std::string(95, 'x'));
    const std::string longName(400, 'n');
    const std::string rest = std::string(600, 'r') + "\nend";
    const std::string text = "Message from " + longName + " to " + rest;
    EXPECT_EQ(RewordHeading(text, "%s>%s", "", ""), longName + ">" + rest);
}

TEST(RewordHeading, ConversionsInTheReceivedTextAreNotInterpreted) {
    EXPECT_EQ(Reword("Autoanswer from %s%d%n"), "A[%s%d%n]");
    EXPECT_EQ(Reword("Message from %s to %d\n%n"), "M[%s|%d\n%n]");
}

}  // namespace
}  // namespace tavik::store
