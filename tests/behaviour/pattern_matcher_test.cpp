#include "param_name.h"
#include "rules/pattern_matcher.h"

#include <gtest/gtest.h>
#include <string>

namespace corvane {
namespace {

struct MatchCase {
    std::string name;
    MatchMode mode;
    bool caseSensitive;
    std::string pattern;
    std::string line;
    // The whole match, or "-" for none.
    std::string expected;
};

class PatternMatcherTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(PatternMatcherTest, FindsWhatTheModeAndCaseSay) {
    const MatchCase& c = GetParam();
    const PatternMatcher matcher(c.pattern, c.mode, c.caseSensitive);
    ASSERT_TRUE(matcher.valid()) << matcher.error();
    PatternMatch found;
    const bool matched = matcher.match(MatchSubject(c.line), &found);
    if (c.expected == "-") {
        EXPECT_FALSE(matched);
    } else {
        ASSERT_TRUE(matched);
        EXPECT_EQ(found.group(c.line, 0), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PatternMatcherTest,
    ::testing::Values(
        MatchCase{"plain finds text inside a word", MatchMode::Plain, false, "gold", "the goldsmith", "gold"},
        MatchCase{"plain without case folds ASCII", MatchMode::Plain, false, "GOLD", "some Gold here", "Gold"},
        MatchCase{"plain with case keeps it", MatchMode::Plain, true, "GOLD", "some Gold here", "-"},
        MatchCase{"plain takes regex signs literally", MatchMode::Plain, false, "a.b*", "xa.b*y", "a.b*"},
        MatchCase{"plain without case folds beyond ASCII", MatchMode::Plain, false, "ÉPÉE", "une épée", "épée"},
        MatchCase{"words refuses part of a word", MatchMode::Words, false, "gold", "the goldsmith", "-"},
        MatchCase{"words finds a later whole word", MatchMode::Words, false, "gold", "goldsmith's gold.", "gold"},
        MatchCase{"words at the line's ends", MatchMode::Words, false, "hi there", "hi there", "hi there"},
        MatchCase{"words beyond ASCII without case", MatchMode::Words, false, "ÉPÉE", "l'épée!", "épée"},
        MatchCase{"words beyond ASCII inside a word", MatchMode::Words, false, "ÉPÉE", "épées", "-"},
        MatchCase{"regex with groups", MatchMode::Regex, false, "(\\w+) pages: (.*)", "Wren pages: hi",
                  "Wren pages: hi"},
        MatchCase{"regex without case", MatchMode::Regex, false, "^you DIE", "You die.", "You die"},
        MatchCase{"regex with case", MatchMode::Regex, true, "^you die", "You die.", "-"},
        MatchCase{"regex counts characters not bytes", MatchMode::Regex, false, "^.{4}$", "épée", "épée"},
        MatchCase{"regex needing a digit the line lacks", MatchMode::Regex, false, "pages: (.*)zz7$", "a pages: zz",
                  "-"},
        MatchCase{"regex needing a digit the line has", MatchMode::Regex, false, "(?i)PAGES: (.*)ZZ7$",
                  "a pages: hi zz7", "pages: hi zz7"},
        MatchCase{"plain whose rare pair comes last", MatchMode::Plain, false, "the quiz", "in the quiz", "the quiz"}),
    [](const auto& info) { return testing::ParamName(info.param.name); });

TEST(PatternMatcher, GroupsByNumberAndName) {
    const PatternMatcher matcher("(?<who>\\w+) pages: (\\w+)?(x)?", MatchMode::Regex, false);
    const std::string line = "Wren pages: hello";
    PatternMatch found;
    ASSERT_TRUE(matcher.match(MatchSubject(line), &found));
    EXPECT_EQ(found.group(line, 1), "Wren");
    EXPECT_EQ(found.group(line, 2), "hello");
    EXPECT_EQ(found.group(line, 3), "");
    EXPECT_EQ(found.group(line, 9), "");
    EXPECT_EQ(matcher.groupNumber("who"), 1);
    EXPECT_EQ(matcher.groupNumber("nobody"), -1);
}

TEST(PatternMatcher, BadPatternKeepsTheLibrarysMessageAndMatchesNothing) {
    const PatternMatcher broken("(unclosed", MatchMode::Regex, false);
    EXPECT_FALSE(broken.valid());
    EXPECT_NE(broken.error().find("missing closing parenthesis"), std::string::npos) << broken.error();
    EXPECT_FALSE(broken.matches(MatchSubject("(unclosed")));
    EXPECT_FALSE(PatternMatcher("", MatchMode::Plain, false).valid());
}

// A pattern that backtracks without end on a line as long as the client
// keeps gives up at the match limit: the line counts as not matched.
TEST(PatternMatcher, CatastrophicBacktrackingStopsAtTheMatchLimit) {
    const std::string line = std::string(15999, 'a') + "!";
    for (const char* pattern : {"^(a|aa)+$", "^(\\w+\\s?)*$", "^(a|a)*$"}) {
        const PatternMatcher matcher(pattern, MatchMode::Regex, false);
        ASSERT_TRUE(matcher.valid()) << pattern;
        EXPECT_FALSE(matcher.matches(MatchSubject(line))) << pattern;
        EXPECT_TRUE(matcher.hitLimit()) << pattern;
    }
}

} // namespace
} // namespace corvane
