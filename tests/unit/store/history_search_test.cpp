#include "core/store/history_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavik::store {
namespace {

MessageEntry Entry(const std::string& sender, const std::string& text) {
    MessageEntry entry;
    entry.sender = sender;
    entry.text = "Monday, 6 May 2024, 10:15:00\r\n" + text;
    return entry;
}

MessageHistory WithMessages(const std::vector<std::pair<std::string, std::string>>& senderAndText) {
    MessageHistory history;
    for (const auto& [sender, text] : senderAndText) history.Append(Entry(sender, text));
    return history;
}

std::uint32_t Find(const MessageHistory& history, std::uint32_t from, const std::string& text,
                   SearchDirection direction, bool matchCase = false,
                   const CaseFolding& folding = CaseFolding::Windows1252()) {
    return FindMessage(history, from, {text, direction, matchCase}, folding);
}

bool Holds(std::string_view haystack, std::string_view text, const CaseFolding& folding) {
    return TextSearch(text, false, folding).In(haystack);
}

const MessageHistory kFive = WithMessages({
    {"PC1", "lunch at noon?"},
    {"PC2", "The build is red"},
    {"ANN", "printer on floor 2"},
    {"PC2", "build is green again"},
    {"PC3", "see you"},
});

TEST(HistorySearch, FindsTheNearestMatchBeyondTheShownOneEitherWay) {
    EXPECT_EQ(Find(kFive, 5, "build", SearchDirection::Older), 4u);
    EXPECT_EQ(Find(kFive, 4, "build", SearchDirection::Older), 2u) << "the shown message is left out";
    EXPECT_EQ(Find(kFive, 2, "build", SearchDirection::Older), 0u) << "no wrap past the oldest";
    EXPECT_EQ(Find(kFive, 1, "build", SearchDirection::Newer), 2u);
    EXPECT_EQ(Find(kFive, 2, "build", SearchDirection::Newer), 4u);
    EXPECT_EQ(Find(kFive, 4, "build", SearchDirection::Newer), 0u) << "no wrap past the newest";
    EXPECT_EQ(Find(kFive, 3, "nothing like it", SearchDirection::Older), 0u);
    EXPECT_EQ(Find(kFive, 3, "", SearchDirection::Newer), 0u) << "an empty text matches nothing";
    EXPECT_EQ(Find(MessageHistory{}, 0, "build", SearchDirection::Newer), 0u);
}

TEST(HistorySearch, LooksAtTheSenderAndTheWholeStampedText) {
    EXPECT_EQ(Find(kFive, 5, "ANN", SearchDirection::Older), 3u) << "in the sender only";
    EXPECT_EQ(Find(kFive, 1, "floor", SearchDirection::Newer), 3u) << "in the text only";
    EXPECT_EQ(Find(kFive, 5, "10:15", SearchDirection::Older), 4u) << "the date line is part of the text";
    // A match must lie inside one field: the sender's end does not run on into the text.
    EXPECT_EQ(Find(kFive, 5, "ANNMonday", SearchDirection::Older), 0u);
}

TEST(HistorySearch, CaseIsIgnoredUnlessAsked) {
    EXPECT_EQ(Find(kFive, 5, "BUILD", SearchDirection::Older), 4u);
    EXPECT_EQ(Find(kFive, 5, "The Build", SearchDirection::Older, false), 2u);
    EXPECT_EQ(Find(kFive, 5, "the build", SearchDirection::Older, true), 0u);
    EXPECT_EQ(Find(kFive, 5, "The build", SearchDirection::Older, true), 2u);
    EXPECT_EQ(Find(kFive, 5, "pc2", SearchDirection::Older, true), 0u);
}

TEST(HistorySearch, Windows1252LettersFoldInPairsAndAccentsCount) {
    const CaseFolding& western = CaseFolding::Windows1252();
    EXPECT_TRUE(Holds("\xC9T\xC9 \xC0 PARIS", "\xE9t\xE9 \xE0 paris", western));  // ETE A PARIS, accented
    EXPECT_TRUE(Holds("\x8Akoda \x8Cuvre \x8Eofia \x9F", "\x9AKODA \x9CUVRE \x9EOFIA \xFF", western));
    EXPECT_FALSE(Holds("\xE9t\xE9", "ete", western)) << "an accented letter is not its bare letter";
    EXPECT_FALSE(Holds("STRASSE", "stra\xDF", western)) << "sharp s is one byte and only itself";
    EXPECT_FALSE(Holds("2 \xD7 3", "2 \xF7 3", western)) << "the multiplication and division signs are no pair";
    // Another code page keeps its bytes beyond ASCII apart.
    EXPECT_TRUE(Holds("HELLO", "hello", CaseFolding::Ascii()));
    EXPECT_FALSE(Holds("\xC9T\xC9", "\xE9t\xE9", CaseFolding::Ascii()));
}

TEST(HistorySearch, FindsTextAnywhereInTheBytes) {
    const CaseFolding& folding = CaseFolding::Windows1252();
    EXPECT_TRUE(Holds("needle at the start", "needle", folding));
    EXPECT_TRUE(Holds("at the end a needle", "needle", folding));
    EXPECT_TRUE(Holds("aaaab", "aaab", folding)) << "a repeated start";
    EXPECT_TRUE(Holds("abcabcabd", "abcabd", folding));
    EXPECT_TRUE(Holds(std::string_view("a\0b", 3), std::string_view("\0b", 2), folding));
    EXPECT_FALSE(Holds("needl", "needle", folding)) << "longer than the text";
    EXPECT_FALSE(Holds("eedle needl", "needle", folding));
}

TEST(HistorySearch, OnlyTheEntriesHereAreSearchedWhileOlderOnesLoad) {
    MessageHistory history = WithMessages({{"PC1", "build one"}, {"PC2", "build two"}});
    history.ExpectOlder(3);  // positions 1 to 3 are still to come
    EXPECT_EQ(Find(history, 5, "build", SearchDirection::Older), 4u);
    EXPECT_EQ(Find(history, 4, "build", SearchDirection::Older), 0u);
    EXPECT_EQ(Find(history, 0, "build", SearchDirection::Newer), 4u);
    history.PrependOlder({Entry("PC0", "build zero")}, 3);
    EXPECT_EQ(Find(history, 2, "build", SearchDirection::Older), 1u);
}

}  // namespace
}  // namespace tavik::store
