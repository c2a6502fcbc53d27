#include "core/store/message_history.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavik::store {
namespace {

MessageEntry Entry(const std::string& text) { return MessageEntry{text, "s-" + text, std::nullopt, false}; }

MessageHistory WithEntries(int n) {
    MessageHistory history;
    for (int i = 1; i <= n; ++i) history.Append(Entry("m" + std::to_string(i)));
    return history;
}

std::vector<std::string> Texts(const MessageHistory& history) {
    std::vector<std::string> texts;
    for (std::uint32_t p = 1; p <= history.count(); ++p) texts.push_back(history.at(p)->text);
    return texts;
}

std::string CurrentText(const MessageHistory& history) {
    return history.current() ? history.current()->text : std::string("<none>");
}

TEST(MessageHistory, EmptyListHasNothingToShow) {
    MessageHistory history;
    EXPECT_EQ(history.count(), 0u);
    EXPECT_EQ(history.currentPosition(), 0u);
    EXPECT_EQ(history.current(), nullptr);
    EXPECT_EQ(history.oldest(), nullptr);
    EXPECT_EQ(history.newest(), nullptr);
    EXPECT_FALSE(history.ShowOlder());
    EXPECT_FALSE(history.ShowNewer());
    EXPECT_FALSE(history.ShowOldest());
    EXPECT_FALSE(history.ShowNewest());
    EXPECT_EQ(history.currentPosition(), 0u);
    EXPECT_FALSE(history.RemoveCurrent());
    EXPECT_FALSE(history.TrimOldest(0));
}

TEST(MessageHistory, AppendMakesTheNewEntryNewestAndCurrent) {
    MessageHistory history = WithEntries(3);
    EXPECT_EQ(history.count(), 3u);
    EXPECT_EQ(history.currentPosition(), 3u);
    EXPECT_EQ(CurrentText(history), "m3");
    EXPECT_EQ(history.oldest()->text, "m1");
    EXPECT_EQ(history.newest()->text, "m3");
    EXPECT_EQ(history.at(0), nullptr);
    EXPECT_EQ(history.at(4), nullptr);
    // An arrival takes the view from wherever the user was.
    history.ShowOldest();
    history.Append(Entry("m4"));
    EXPECT_EQ(history.currentPosition(), 4u);
    EXPECT_EQ(CurrentText(history), "m4");
}

TEST(MessageHistory, StepsAndJumpsStopAtTheEnds) {
    MessageHistory history = WithEntries(3);
    EXPECT_FALSE(history.ShowNewer());
    EXPECT_TRUE(history.ShowOlder());
    EXPECT_EQ(history.currentPosition(), 2u);
    EXPECT_EQ(CurrentText(history), "m2");
    EXPECT_TRUE(history.ShowOlder());
    EXPECT_FALSE(history.ShowOlder());
    EXPECT_EQ(history.currentPosition(), 1u);
    EXPECT_EQ(CurrentText(history), "m1");
    EXPECT_TRUE(history.ShowNewer());
    EXPECT_EQ(CurrentText(history), "m2");
    EXPECT_TRUE(history.ShowNewest());
    EXPECT_EQ(history.currentPosition(), 3u);
    EXPECT_EQ(CurrentText(history), "m3");
    EXPECT_TRUE(history.ShowOldest());
    EXPECT_EQ(history.currentPosition(), 1u);
    EXPECT_EQ(CurrentText(history), "m1");
}

TEST(MessageHistory, OneEntryCanOnlyBeJumpedTo) {
    MessageHistory history = WithEntries(1);
    EXPECT_FALSE(history.ShowOlder());
    EXPECT_FALSE(history.ShowNewer());
    EXPECT_TRUE(history.ShowOldest());
    EXPECT_EQ(CurrentText(history), "m1");
    EXPECT_TRUE(history.ShowNewest());
    EXPECT_EQ(CurrentText(history), "m1");
    EXPECT_EQ(history.currentPosition(), 1u);
}

TEST(MessageHistory, ShowAtTakesPositionsAsTheTitleCountsThem) {
    MessageHistory history = WithEntries(3);
    history.ExpectOlder(2);  // positions 1 and 2 are still to come
    EXPECT_TRUE(history.ShowAt(3));
    EXPECT_EQ(CurrentText(history), "m1");
    EXPECT_EQ(history.currentPosition(), 3u);
    for (std::uint32_t absent : {0u, 2u, 6u}) {
        EXPECT_FALSE(history.ShowAt(absent)) << absent;
        EXPECT_EQ(CurrentText(history), "m1") << absent;
    }
    history.PrependOlder({Entry("o1"), Entry("o2")}, 2);
    EXPECT_TRUE(history.ShowAt(2));
    EXPECT_EQ(CurrentText(history), "o2");
    EXPECT_TRUE(history.ShowAt(5));
    EXPECT_EQ(CurrentText(history), "m3");
}

TEST(MessageHistory, InsertAtPutsTheEntryBackAsTheKthOrLast) {
    MessageHistory history = WithEntries(3);
    EXPECT_EQ(history.InsertAt(2, Entry("x")), 2u);
    EXPECT_EQ(Texts(history), (std::vector<std::string>{"m1", "x", "m2", "m3"}));
    EXPECT_EQ(CurrentText(history), "x");
    EXPECT_EQ(history.InsertAt(0, Entry("first")), 1u);
    EXPECT_EQ(history.oldest()->text, "first");
    EXPECT_EQ(history.InsertAt(6, Entry("at-end")), 6u);
    EXPECT_EQ(history.InsertAt(200, Entry("far")), 7u);
    EXPECT_EQ(history.newest()->text, "far");
    EXPECT_EQ(history.currentPosition(), 7u);

    MessageHistory empty;
    EXPECT_EQ(empty.InsertAt(5, Entry("only")), 1u);
    EXPECT_EQ(empty.currentPosition(), 1u);
    EXPECT_EQ(empty.count(), 1u);
}

TEST(MessageHistory, TrimKeepsTheViewOnAnEntryThatStays) {
    MessageHistory history = WithEntries(3);
    history.ShowOlder();  // m2 at 2
    EXPECT_TRUE(history.TrimOldest(2));
    EXPECT_EQ(CurrentText(history), "m2");
    EXPECT_EQ(history.currentPosition(), 1u);

    MessageHistory atOldest = WithEntries(3);
    atOldest.ShowOldest();
    EXPECT_TRUE(atOldest.TrimOldest(2));
    EXPECT_EQ(CurrentText(atOldest), "m2");
    EXPECT_EQ(atOldest.currentPosition(), 1u);
}

TEST(MessageHistory, OlderEntriesStillToComeAreCountedAndJoinBeforeTheOthers) {
    MessageHistory history = WithEntries(1);
    history.ExpectOlder(3);
    EXPECT_EQ(history.count(), 4u);
    EXPECT_EQ(history.currentPosition(), 4u);
    EXPECT_EQ(history.at(1), nullptr);
    EXPECT_FALSE(history.olderIsHere());
    EXPECT_FALSE(history.ShowOlder());
    history.PrependOlder({Entry("o2"), Entry("o3")}, 2);
    EXPECT_TRUE(history.ShowOlder());
    EXPECT_EQ(history.currentPosition(), 3u);
    history.PrependOlder({Entry("o1")}, 1);
    EXPECT_EQ(history.olderToCome(), 0u);
    EXPECT_EQ(Texts(history), (std::vector<std::string>{"o1", "o2", "o3", "m1"}));
    EXPECT_EQ(CurrentText(history), "o3");
    EXPECT_EQ(history.currentPosition(), 3u);

    // Nothing was here: the newest of the first batch becomes current.
    MessageHistory none;
    none.ExpectOlder(2);
    EXPECT_EQ(none.count(), 0u);
    none.PrependOlder({Entry("a"), Entry("b")}, 1);
    EXPECT_EQ(CurrentText(none), "b");
    EXPECT_EQ(none.currentPosition(), 3u);
}

TEST(MessageHistory, ATrimDuringTheLoadCountsOnlyWhatTheLoadBrought) {
    MessageHistory history = WithEntries(1);
    history.ExpectOlder(2);
    history.Append(Entry("new"));
    EXPECT_FALSE(history.TrimOldest(3));
    // One of the two files gave no entry: three in all, within the limit.
    history.PrependOlder({Entry("o1")}, 2);
    EXPECT_EQ(Texts(history), (std::vector<std::string>{"o1", "m1", "new"}));
    EXPECT_EQ(CurrentText(history), "new");
}

}  // namespace
}  // namespace tavik::store
