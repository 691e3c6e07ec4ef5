#include "core/session_history.h"
#include "fakes/client_harness.h"
#include "param_name.h"
#include "shell/session_history_presenter.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

void addLine(SessionHistory& history, std::string_view text) {
    history.append(text, {}, nullptr, true);
}

std::vector<std::string> linesOf(const SessionHistory& history) {
    std::vector<std::string> lines;
    for (std::uint64_t serial = history.firstLine(); serial < history.endLine(); ++serial) {
        lines.emplace_back(history.line(serial).text);
    }
    return lines;
}

// Ten bytes for numbers below 10000: "line 0042x".
std::string lineText(int n) {
    std::string digits = std::to_string(n);
    return "line " + std::string(4 - std::min<std::size_t>(digits.size(), 4), '0') + digits + "x";
}

struct CapCase {
    const char* name;
    std::size_t maxLines;
    std::size_t maxBytes;
    int added;
    // Lines of 10 bytes ("line 0000x"): each costs 18 bytes with its index.
    std::uint64_t firstKept;
};

class SessionHistoryCapTest : public ::testing::TestWithParam<CapCase> {};

TEST_P(SessionHistoryCapTest, DropsTheOldestLinesFirst) {
    const CapCase& c = GetParam();
    SessionHistory history(c.maxLines, c.maxBytes);
    for (int i = 0; i < c.added; ++i) {
        addLine(history, lineText(i));
    }
    EXPECT_EQ(history.firstLine(), c.firstKept);
    EXPECT_EQ(history.endLine(), static_cast<std::uint64_t>(c.added));
    EXPECT_LE(history.storedBytes(), c.maxBytes);
    EXPECT_EQ(history.line(history.endLine() - 1).text, lineText(c.added - 1));
    EXPECT_EQ(history.line(history.firstLine()).text, lineText(static_cast<int>(c.firstKept)));
}

INSTANTIATE_TEST_SUITE_P(Caps, SessionHistoryCapTest,
                         ::testing::Values(CapCase{"UnderBothCapsKeepsAll", 100, 10000, 50, 0},
                                           CapCase{"LineCap", 100, 1u << 20, 5000, 4900},
                                           CapCase{"ByteCapInTheOpenChunk", 100000, 18 * 1000, 1500, 500},
                                           CapCase{"LineCapAcrossManyChunks", 3000, 1u << 20, 9000, 6000}),
                         [](const auto& info) { return std::string(info.param.name); });

// Finished chunks are kept compressed: a full session of varied lines keeps
// every line, in a quarter of the default cap, and each reads back as kept,
// also one held on to while many other chunks were opened.
TEST(SessionHistory, AFullSessionKeepsEveryLineCompressedAndReadsThemBack) {
    SessionHistory history;
    TextStyle green;
    green.foreground = Rgb{0, 200, 0};
    auto text = [](std::uint64_t n) {
        return "The troll number " + std::to_string(n) + " growls at " + std::to_string(n * 7919 % 100003) +
               " goblins across the old stone bridge, then wanders off.";
    };
    // Each line's word is an MXP link of its own, whose number is kept with it.
    auto linked = [&](std::uint64_t n) {
        TextStyle style = green;
        style.link = static_cast<std::uint32_t>(n + 1);
        return style;
    };
    for (std::uint64_t n = 0; n < SessionHistory::kDefaultMaxLines + 10; ++n) {
        const StyleSpan spans[] = {StyleSpan{4, 5, linked(n)}};
        history.append(text(n), spans, nullptr, true);
    }
    EXPECT_EQ(history.lineCount(), SessionHistory::kDefaultMaxLines);
    EXPECT_EQ(history.firstLine(), 10u);
    EXPECT_LE(history.storedBytes(), SessionHistory::kDefaultMaxBytes / 2);
    const HistoryLine held = history.line(12);
    for (std::uint64_t serial = history.firstLine(); serial < history.endLine(); serial += 997) {
        const HistoryLine line = history.line(serial);
        ASSERT_EQ(line.text, text(serial)) << serial;
        ASSERT_EQ(line.spans.size(), 1u);
        EXPECT_EQ(line.spans[0].style(), linked(serial));
        EXPECT_FALSE(line.linksExpired);
    }
    EXPECT_EQ(held.text, text(12));
    EXPECT_EQ(history.line(history.endLine() - 1).text, text(history.endLine() - 1));
}

TEST(SessionHistory, KeepsColoursAndTriggerLooksAndJoinsAnOpenLineOnceComplete) {
    SessionHistory history;
    TextStyle red;
    red.foreground = Rgb{255, 0, 0};
    red.bold = true;
    const StyleSpan spans[] = {StyleSpan{2, 3, red}};
    history.append("> ", {}, nullptr, false);
    EXPECT_TRUE(history.empty()) << "a prompt waits for its line end";
    history.append("a red word", spans, nullptr, true);
    const TriggerLook look{"Serif", 12, true, false, Rgb{0, 0, 255}};
    history.append("paged", {}, &look, true);

    ASSERT_EQ(linesOf(history), (std::vector<std::string>{"> a red word", "paged"}));
    const HistoryLine first = history.line(0);
    ASSERT_EQ(first.spans.size(), 1u);
    EXPECT_EQ(first.spans[0].start, 4u);
    EXPECT_EQ(first.spans[0].length, 3u);
    EXPECT_EQ(first.spans[0].style(), red);
    const OutputSpan paged = history.line(1).spans[0].outputSpan();
    ASSERT_GE(paged.look, 0);
    EXPECT_EQ(history.looks()[static_cast<std::size_t>(paged.look)], look);
}

// Link numbers only rise, but for nested links closing out of order; should
// the store run out of numbers and start again from 1, a kept line's number
// could name a new link: the lines kept before then lose their links.
TEST(SessionHistory, LinksKeptBeforeTheNumbersStartAgainAreExpired) {
    SessionHistory history;
    auto linkLine = [&](std::initializer_list<std::uint32_t> numbers) {
        std::vector<StyleSpan> spans;
        for (const std::uint32_t number : numbers) {
            TextStyle style;
            style.link = number;
            spans.push_back(StyleSpan{static_cast<std::uint32_t>(spans.size()), 1, style});
        }
        history.append("abc", spans, nullptr, true);
    };
    linkLine({7, 9, 8});
    linkLine({4000000000u, 3999999000u});
    EXPECT_FALSE(history.line(0).linksExpired) << "nested links step back a little";
    EXPECT_FALSE(history.line(1).linksExpired);
    EXPECT_EQ(history.line(1).spans[1].style().link, 3999999000u);
    linkLine({4294967295u, 1});
    linkLine({2});
    EXPECT_TRUE(history.line(0).linksExpired);
    EXPECT_TRUE(history.line(1).linksExpired);
    EXPECT_TRUE(history.line(2).linksExpired) << "a line with numbers from both sides";
    EXPECT_FALSE(history.line(3).linksExpired);
}

struct FindCase {
    const char* query;
    std::uint64_t from;
    std::size_t offset;
    SessionHistory::Direction direction;
    bool matchCase;
    std::optional<HistoryMatch> expected;
};

class SessionHistoryFindTest : public ::testing::TestWithParam<FindCase> {
protected:
    void SetUp() override {
        for (const char* text :
             {"The Dragon sleeps", "a dragon, another dragon", "nothing here", "ÉCLAIR éclair"}) {
            addLine(history, text);
        }
    }
    SessionHistory history;
};

constexpr auto kForward = SessionHistory::Direction::Forward;
constexpr auto kBackward = SessionHistory::Direction::Backward;

TEST_P(SessionHistoryFindTest, FindsFromAPlaceGoingRound) {
    const FindCase& c = GetParam();
    EXPECT_EQ(history.find(c.query, c.from, c.offset, c.direction, c.matchCase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, SessionHistoryFindTest,
                         ::testing::Values(FindCase{"dragon", 0, 0, kForward, false, HistoryMatch{0, 4, 6}},
                                           FindCase{"dragon", 0, 0, kForward, true, HistoryMatch{1, 2, 6}},
                                           FindCase{"dragon", 1, 3, kForward, false, HistoryMatch{1, 18, 6}},
                                           FindCase{"dragon", 1, 19, kForward, false, HistoryMatch{0, 4, 6}},
                                           FindCase{"dragon", 1, 18, kBackward, false, HistoryMatch{1, 2, 6}},
                                           FindCase{"dragon", 0, 4, kBackward, false, HistoryMatch{1, 18, 6}},
                                           FindCase{"Dragon", 0, 5, kForward, true, HistoryMatch{0, 4, 6}},
                                           FindCase{"éclair", 0, 0, kForward, false, HistoryMatch{3, 0, 7}},
                                           FindCase{"éclair", 0, 0, kForward, true, HistoryMatch{3, 8, 7}},
                                           FindCase{"unicorn", 2, 0, kForward, false, std::nullopt},
                                           FindCase{"", 0, 0, kForward, false, std::nullopt}),
                         [](const auto& info) {
                             const FindCase& c = info.param;
                             return ParamName(std::string(c.query) + "_" + std::to_string(c.from) + "_" +
                                              std::to_string(c.offset) +
                                              (c.direction == kForward ? "_next" : "_previous") +
                                              (c.matchCase ? "_case" : ""));
                         });

TEST(SessionHistory, ATagWaitsForItsLineAndOneWhoseLineNeverCameIsDropped) {
    SessionHistory history;
    history.tagLine("Alice pages: hi", "Alice");
    addLine(history, "The sun sets.");
    addLine(history, "Alice pages: hi");
    history.tagLine("Bob pages: lost", "Bob");
    history.tagLine("Carol pages: yo", "Carol");
    addLine(history, "Carol pages: yo");
    addLine(history, "Bob pages: lost");
    EXPECT_EQ(history.tag(0), "");
    EXPECT_EQ(history.tag(1), "Alice");
    EXPECT_EQ(history.tag(2), "Carol");
    EXPECT_EQ(history.tag(3), "") << "Bob's tag was passed over by Carol's line";
}

TEST(SessionHistory, CountsMatchesAndCopiesTextWithCrLf) {
    SessionHistory history;
    for (const char* text : {"aaa", "bab", "ccc"}) {
        addLine(history, text);
    }
    EXPECT_EQ(history.countMatches("a", false), 4u);
    EXPECT_EQ(history.countMatches("aa", false), 1u) << "matches do not overlap";
    EXPECT_EQ(history.text(0, 1, 2, 2), "aa\r\nbab\r\ncc");
}

// The window's rules on a fake view.
struct SessionHistoryWindowTest : ::testing::Test {
    void SetUp() override {
        for (const char* text : {"one apple", "two", "an apple and an Apple", "four"}) {
            addLine(history, text);
        }
        view.firstVisible = 0;
        view.lastVisible = 3;
    }
    SessionHistory history;
    FakeSessionHistoryView view;
    FakeClipboard clipboard;
    int closed = 0;
    SessionHistoryPresenter window{history, view, clipboard, [this] { ++closed; }};
};

TEST_F(SessionHistoryWindowTest, OpensAtTheNewestAndFollowsNewLinesOnlyWhileOpen) {
    window.linesAdded();
    EXPECT_EQ(view.linesChangedCount, 0);
    window.open();
    EXPECT_TRUE(view.shown && view.atNewest);
    window.linesAdded();
    EXPECT_EQ(view.linesChangedCount, 1);
    view.close();
    EXPECT_EQ(closed, 1);
    window.linesAdded();
    EXPECT_EQ(view.linesChangedCount, 1);
    window.open();
    EXPECT_EQ(view.timesShown, 2);
}

TEST_F(SessionHistoryWindowTest, FindStepsThroughMatchesAndSaysHowMany) {
    window.open();
    view.find = "apple";
    window.onFindNext();
    window.onFindNext();
    window.onFindNext();
    window.onFindNext();
    EXPECT_EQ(view.shownMatches, (std::vector<HistoryMatch>{{0, 4, 5}, {2, 3, 5}, {2, 16, 5}, {0, 4, 5}}));
    EXPECT_EQ(view.status, "1 of 3 matches");
    window.onFindPrevious();
    EXPECT_EQ(view.shownMatches.back(), (HistoryMatch{2, 16, 5}));
    EXPECT_EQ(view.status, "3 of 3 matches");

    view.caseMatters = true;
    view.find = "Apple";
    window.onFindChanged();
    EXPECT_EQ(view.status, "");
    window.onFindPrevious();
    EXPECT_EQ(view.shownMatches.back(), (HistoryMatch{2, 16, 5}));
    EXPECT_EQ(view.status, "1 of 1 match");

    view.find = "pear";
    window.onFindChanged();
    window.onFindNext();
    EXPECT_EQ(view.status, "Not found");
}

TEST_F(SessionHistoryWindowTest, WithoutAMatchFindStartsFromTheLinesInView) {
    view.find = "apple";
    view.firstVisible = 1;
    view.lastVisible = 1;
    window.onFindNext();
    EXPECT_EQ(view.shownMatches.back(), (HistoryMatch{2, 3, 5}));
    window.onFindChanged();
    window.onFindPrevious();
    EXPECT_EQ(view.shownMatches.back(), (HistoryMatch{0, 4, 5}));
}

TEST_F(SessionHistoryWindowTest, HighlightAllMarksTheFindTextAndCopyTakesTheSelection) {
    view.find = "apple";
    window.onFindChanged();
    window.onFindNext();
    view.highlightOn = true;
    window.onFindChanged();
    EXPECT_EQ(view.highlight, "apple");
    EXPECT_EQ(view.status, "1 of 3 matches") << "switching the highlight keeps the search";
    view.highlightOn = false;
    window.onFindChanged();
    EXPECT_EQ(view.highlight, "");

    view.selected = SessionHistoryView::Range{0, 4, 1, 3};
    window.onCopy();
    EXPECT_EQ(clipboard.contents, "apple\r\ntwo");
}

TEST(SessionHistoryClient, KeepsServerLinesAndTheClientsOwnNoticesAndOpensFromTheMenu) {
    ClientHarness h;
    h.client.start(false);
    h.connect();
    h.socket.receive("Welcome\r\nlogin: ");
    h.socket.receive("guest\r\n");
    h.clearOutput();
    // Clear Output leaves the history alone; the prompt is kept once, with its answer.
    EXPECT_EQ(linesOf(h.client.sessionHistory()),
              (std::vector<std::string>{"", "Connecting to 127.0.0.1...",
                                        "Connected, waiting for a response from Test...", "Welcome",
                                        "login: guest"}));

    h.client.onMenuTriggered(MenuItem::ViewSessionHistory);
    ASSERT_NE(h.views.sessionHistory, nullptr);
    EXPECT_TRUE(h.views.sessionHistory->shown);
    EXPECT_TRUE(h.client.menu().enabled(MenuItem::ViewSessionHistory));
}

} // namespace
} // namespace corvane::testing
