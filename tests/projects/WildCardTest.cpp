// Wildcard patterns: chunking, the matcher's deliberate lack of
// backtracking, case folding and pattern lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "projects/WildCardList.h"
#include "projects/WildCardString.h"

namespace {
std::vector<std::string> chunksOf(const char* pattern) {
    WildCardString compiled(pattern);
    std::vector<std::string> texts;
    for (const WildChunk* chunk = compiled.getChunks(); chunk; chunk = chunk->getNextChunk())
        texts.push_back(chunk->getString());
    return texts;
}

bool matches(const char* pattern, const char* subject, bool caseSensitive = true) {
    return WildCardString(pattern, caseSensitive).wildCardStringEqual(subject);
}
}  // namespace

TEST(WildCardTest, PatternsAreCutIntoAlternatingRuns) {
    EXPECT_EQ(chunksOf("*.prj"), (std::vector<std::string>{"*", ".prj"}));
    EXPECT_EQ(chunksOf("a*?b??c"), (std::vector<std::string>{"a", "*?", "b", "??", "c"}));
    EXPECT_EQ(chunksOf(""), (std::vector<std::string>{""}));
    EXPECT_EQ(chunksOf(nullptr), (std::vector<std::string>{"*"}));
    EXPECT_TRUE(WildCardString("*").matchesAnyChar());
    EXPECT_FALSE(WildCardString("**").matchesAnyChar());
    EXPECT_FALSE(WildCardString("*a").matchesAnyChar());
}

TEST(WildCardTest, MatchingNeverBacktracks) {
    EXPECT_TRUE(matches("*.prj", "x.prj"));
    EXPECT_TRUE(matches("*.prj", ".prj"));
    EXPECT_FALSE(matches("*.prj", "a.prj.prj"));  // the first .prj is taken
    EXPECT_TRUE(matches("*a*", "bab"));
    EXPECT_TRUE(matches("a*", "a"));
    EXPECT_TRUE(matches("a*", "abc"));
    EXPECT_TRUE(matches("*", ""));
    EXPECT_TRUE(matches("*", "anything at all"));
    EXPECT_TRUE(matches(nullptr, "x"));
    EXPECT_FALSE(WildCardString("*").wildCardStringEqual(nullptr));
}

TEST(WildCardTest, QuestionMarksAndWildcardRuns) {
    EXPECT_TRUE(matches("a?c", "abc"));
    EXPECT_FALSE(matches("a?c", "ac"));
    EXPECT_FALSE(matches("a?c", "abbc"));
    // A run of two wildcards is literal text: only the name "a??c" matches.
    EXPECT_FALSE(matches("a??c", "abbc"));
    EXPECT_TRUE(matches("a??c", "a??c"));
    EXPECT_TRUE(matches("", ""));
    EXPECT_FALSE(matches("", "a"));
}

TEST(WildCardTest, CaseFoldingOnlyWhenAsked) {
    EXPECT_TRUE(matches("*.prj", "X.PRJ", false));
    EXPECT_TRUE(matches("*.PRJ", "x.prj", false));
    EXPECT_FALSE(matches("*.prj", "X.PRJ", true));
    WildCardString folded("*.PRJ", false);
    EXPECT_STREQ(folded.getDisplayPattern(), "*.PRJ");  // the label keeps its case
}

TEST(WildCardTest, ListsMatchWhenAnyPatternMatches) {
    WildCardList sources("*.qa;*.qh", true);
    EXPECT_EQ(sources.getPatternCount(), 2);
    EXPECT_TRUE(sources.wildCardListEqual("agent.qa"));
    EXPECT_TRUE(sources.wildCardListEqual("agent.qh"));
    EXPECT_FALSE(sources.wildCardListEqual("agent.qx"));
    EXPECT_FALSE(sources.getMatchesAnything());

    EXPECT_FALSE(WildCardList("", true).wildCardListEqual(""));
    EXPECT_TRUE(WildCardList(";*.qa", true).wildCardListEqual(""));
    EXPECT_FALSE(WildCardList("*.qa;", true).wildCardListEqual(""));
    EXPECT_EQ(WildCardList("*.qa;", true).getPatternCount(), 1);
    EXPECT_TRUE(WildCardList("*.qa;*", true).getMatchesAnything());
    EXPECT_TRUE(WildCardList("*.QA", false).wildCardListEqual("a.qa"));

    // A segment longer than any path buffer is kept whole.
    std::string longPattern(400, 'x');
    longPattern += "*";
    WildCardList longList((longPattern + ";*.qa").c_str(), true);
    EXPECT_TRUE(longList.wildCardListEqual((std::string(400, 'x') + "tail").c_str()));
}
