// Wildcard patterns and pattern lists.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "storage/WildCardList.h"
#include "storage/WildCardString.h"

// The matcher takes the first place a literal run fits and never returns to
// it; a run of two or more wildcards is literal text.
TEST(WildCardTest, MatchingNeverBacktracksFoldsCaseOnlyWhenAskedAndListsMatchAnyPattern) {
    // Pattern, subject, case-sensitive, matches.
    const std::tuple<const char*, const char*, bool, bool> cases[] = {
        {"*.prj", "x.prj", true, true},
        {"*.prj", ".prj", true, true},
        {"*.prj", "a.prj.prj", true, false},
        {"*a*", "bab", true, true},
        {"a*", "a", true, true},
        {"*", "", true, true},
        {nullptr, "x", true, true},
        {"a?c", "abc", true, true},
        {"a?c", "ac", true, false},
        {"a?c", "abbc", true, false},
        {"a??c", "abbc", true, false},
        {"a??c", "a??c", true, true},
        {"", "", true, true},
        {"", "a", true, false},
        {"*.prj", "X.PRJ", false, true},
        {"*.prj", "X.PRJ", true, false}};

    for (auto [pattern, subject, caseSensitive, matches] : cases)
        EXPECT_EQ(WildCardString(pattern, caseSensitive).wildCardStringEqual(subject), matches)
            << (pattern ? pattern : "null") << " against " << subject;
    EXPECT_FALSE(WildCardString("*").wildCardStringEqual(nullptr));
    // A folded pattern's label keeps its case.
    EXPECT_STREQ(WildCardString("*.PRJ", false).getDisplayPattern(), "*.PRJ");

    WildCardList sources("*.qa;*.qh", true);
    EXPECT_EQ(sources.getPatternCount(), 2);
    EXPECT_EQ((std::vector<bool>{
                  sources.wildCardListEqual("agent.qa"), sources.wildCardListEqual("agent.qh"),
                  sources.wildCardListEqual("agent.qx"), sources.getMatchesAnything()}),
              (std::vector<bool>{true, true, false, false}));

    EXPECT_FALSE(WildCardList("", true).wildCardListEqual(""));
    EXPECT_TRUE(WildCardList(";*.qa", true).wildCardListEqual(""));
    EXPECT_FALSE(WildCardList("*.qa;", true).wildCardListEqual(""));
    EXPECT_EQ(WildCardList("*.qa;", true).getPatternCount(), 1);
    EXPECT_TRUE(WildCardList("*.qa;*", true).getMatchesAnything());
    EXPECT_TRUE(WildCardList("*.QA", false).wildCardListEqual("a.qa"));

    // A segment longer than any path buffer is kept whole.
    const std::string longRun(400, 'x');
    EXPECT_TRUE(WildCardList((longRun + "*;*.qa").c_str(), true)
                    .wildCardListEqual((longRun + "tail").c_str()));
}
