#include "core/reception/pattern_match.h"

#include <gtest/gtest.h>

#include <string>

namespace tavik {
namespace {

TEST(MatchPattern, LiteralBytesAndQuestionMarks) {
    EXPECT_TRUE(MatchPattern("abc", "abc"));
    EXPECT_TRUE(MatchPattern("abc", "a?c"));
    EXPECT_TRUE(MatchPattern("abc", "ab?"));
    EXPECT_FALSE(MatchPattern("abc", "abd"));
    EXPECT_FALSE(MatchPattern("abcd", "abc"));  // subject left over
    EXPECT_FALSE(MatchPattern("abc", "abcd"));  // pattern left over
    EXPECT_FALSE(MatchPattern("abc", "abc?"));  // "?" needs a byte
}

TEST(MatchPattern, IsCaseSensitive) {
    EXPECT_FALSE(MatchPattern("ann", "A*"));
    EXPECT_TRUE(MatchPattern("Ann", "A*"));
    EXPECT_FALSE(MatchPattern("pc1", "PC1"));
}

TEST(MatchPattern, TrailingStars) {
    EXPECT_TRUE(MatchPattern("abc", "a*"));
    EXPECT_TRUE(MatchPattern("abc", "abc*"));
    EXPECT_TRUE(MatchPattern("abc", "abc**"));
    EXPECT_TRUE(MatchPattern("abc", "?*"));
    EXPECT_TRUE(MatchPattern("abc", "*"));
}

TEST(MatchPattern, StarMatchesAnyRunWhereverItStands) {
    struct Case {
        const char* subject;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"10.0.0.5", "*.5", true},
        {"10.0.5.5", "*.5", true},
        {"192.168.1.5", "*.5", true},
        {"10.0.5.5", "*5", true},
        {"PCEVILPC", "*PC", true},
        {"xax", "*x", true},
        {"abcbc", "a*c", true},
        {"xa", "*x", false},
        {"abc", "a*b*c", true},
        {"aXbYc", "a*b*c", true},
        {"acb", "a*b*c", false},
        {"abc", "*?", true},
        {"a", "*?", true},
        {"", "*?", false},
        {"ab", "?*?", true},
        {"10.0.0.55", "*.5", false},
        {"PC1", "*", true},
        {"mississippi", "m*iss*ppi", true},
        {"mississippi", "m*iss*x", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchPattern(c.subject, c.pattern), c.matches) << c.subject << " ~ " << c.pattern;
    }
}

TEST(MatchPattern, APathologicalPatternFinishesQuickly) {
    // Exponential for a matcher that backtracks into every "*"; a few hundred thousand steps here.
    const std::string subject(2000, 'a');
    std::string pattern;
    for (int i = 0; i < 100; ++i) pattern += "*a";
    pattern += "b";
    EXPECT_FALSE(MatchPattern(subject, pattern));
    EXPECT_TRUE(MatchPattern(subject + "b", pattern));
}

TEST(MatchPattern, EmptySubjectAndEmptyPattern) {
    EXPECT_TRUE(MatchPattern("", "*"));
    EXPECT_TRUE(MatchPattern("", "**"));
    EXPECT_FALSE(MatchPattern("", "?"));
    EXPECT_FALSE(MatchPattern("", "*?"));
    EXPECT_FALSE(MatchPattern("", "a"));
    EXPECT_FALSE(MatchPattern("", ""));
    EXPECT_FALSE(MatchPattern("abc", ""));
}

TEST(MatchPattern, DottedAddressPatternNeedsThreeDots) {
    EXPECT_TRUE(MatchPattern("10.0.0.1", "*.*.*.*"));
    EXPECT_TRUE(MatchPattern("192.168.100.200", "*.*.*.*"));
    EXPECT_TRUE(MatchPattern("a.b.c.d.e", "*.*.*.*"));
    EXPECT_TRUE(MatchPattern("1.2.3.", "*.*.*.*"));
    EXPECT_FALSE(MatchPattern("PC1", "*.*.*.*"));
    EXPECT_FALSE(MatchPattern("a.b.c", "*.*.*.*"));
    EXPECT_TRUE(MatchPattern("10.0.0.1", "10.*"));
    EXPECT_FALSE(MatchPattern("110.0.0.1", "10.*"));
}

TEST(MatchPattern, OnlyThePatternViewCounts) {
    const char list[] = "PC1;PC2";
    EXPECT_TRUE(MatchPattern("PC1", std::string_view(list, 3)));
    EXPECT_FALSE(MatchPattern("PC1;PC2", std::string_view(list, 3)));
}

TEST(MatchPatternList, SplitsOnSemicolonsOnly) {
    EXPECT_TRUE(MatchPatternList("PC2", "PC1;PC2"));
    EXPECT_TRUE(MatchPatternList("PC1", "PC1;PC2"));
    EXPECT_FALSE(MatchPatternList("PC3", "PC1;PC2"));
    // Blanks belong to the pattern.
    EXPECT_FALSE(MatchPatternList("PC2", "PC1; PC2"));
    EXPECT_TRUE(MatchPatternList(" PC2", "PC1; PC2"));
    EXPECT_TRUE(MatchPatternList("PC1", "PC1"));
}

TEST(MatchPatternList, EmptyPatternsNeverMatch) {
    EXPECT_TRUE(MatchPatternList("y", "x;;y"));
    EXPECT_FALSE(MatchPatternList("", "x;;y"));
    EXPECT_FALSE(MatchPatternList("", ";"));
    EXPECT_FALSE(MatchPatternList("", ""));
    EXPECT_FALSE(MatchPatternList("x", ""));
    EXPECT_FALSE(MatchPatternList("", "x;"));
    EXPECT_TRUE(MatchPatternList("", ";*"));
    EXPECT_TRUE(MatchPatternList("x", ";x;"));
}

TEST(MatchPatternList, DefaultListsLetEveryNamedSenderThrough) {
    const char* allow = "*.*.*.*;*";
    EXPECT_TRUE(MatchPatternList("10.0.0.1", allow));
    EXPECT_TRUE(MatchPatternList("PC1", allow));
    EXPECT_TRUE(MatchPatternList(" ", allow));
    EXPECT_FALSE(MatchPatternList("PC1", ""));  // the empty deny list stops nobody
}

}  // namespace
}  // namespace tavik
