#include "core/output_buffer.h"
#include "fakes/fake_views.h"

#include <gtest/gtest.h>
#include <random>

namespace corvane::testing {
namespace {

TextLine lineOf(const std::string& text, bool complete = true) {
    TextLine line;
    line.text = text;
    line.complete = complete;
    return line;
}

std::string asShown(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    return out;
}

struct OutputBufferTest : ::testing::Test {
    FakeMainWindow view;
    OutputBuffer buffer{view};
    // 10 characters a row, 100 characters kept.
    void SetUp() override { buffer.setGeometry(1000, 100, 10, 100); }
};

TEST_F(OutputBufferTest, LinesCountWithTheirCrLf) {
    buffer.showLine(lineOf("hello"), -1);
    buffer.showLine(lineOf("wor", false), -1);
    EXPECT_EQ(buffer.length(), 5u + 2u + 3u);
    buffer.showLine(lineOf("ld"), -1);
    EXPECT_EQ(buffer.text(), "hello\r\nworld\r\n");
    buffer.flush();
    EXPECT_EQ(view.output, "hello\nworld\n");
}

// Characters, not bytes: two- to four-byte UTF-8 across eight-byte strides.
TEST_F(OutputBufferTest, LinesCountTheirCharactersNotTheirBytes) {
    buffer.showLine(lineOf("caf\xC3\xA9 na\xC3\xAFve \xE2\x82\xAC" "5 \xF0\x9F\x90\x89!"), -1);
    EXPECT_EQ(buffer.length(), 16u + 2u);
}

TEST_F(OutputBufferTest, AFullWindowDropsWholeRowsFromTheTop) {
    for (int i = 0; i < 12; ++i) {
        buffer.showLine(lineOf("line " + std::to_string(i) + "xx"), -1); // 8 + 2 units
    }
    // 100 would be reached by the 10th line: each later one drops one row.
    EXPECT_LT(buffer.length(), 100u);
    EXPECT_EQ(buffer.text().substr(0, 9), "line 3xx\r");
    buffer.flush();
    EXPECT_EQ(view.output, asShown(buffer.text()));
}

TEST_F(OutputBufferTest, ALongNewLineDropsAsManyRowsAsItTakes) {
    for (int i = 0; i < 9; ++i) {
        buffer.showLine(lineOf("12345678"), -1);
    }
    ASSERT_EQ(buffer.length(), 90u);
    buffer.showLine(lineOf(std::string(25, 'x')), -1); // 25 * 100 / 1000 + 1 = 3 rows
    EXPECT_EQ(buffer.lineCount(), 7u);
    EXPECT_EQ(buffer.length(), 60u + 27u);
}

TEST_F(OutputBufferTest, AnOverLongFirstRowLosesOnlyOneScreenRow) {
    buffer.showLine(lineOf(std::string(50, 'a')), -1);
    for (int i = 0; i < 4; ++i) {
        buffer.showLine(lineOf("12345678"), -1);
    }
    ASSERT_EQ(buffer.length(), 52u + 40u);
    buffer.showLine(lineOf("12345678"), -1);
    // The first line wraps over several rows: only CharsPerLine of it went.
    EXPECT_EQ(buffer.text().substr(0, 41), std::string(40, 'a') + "\r");
    buffer.flush();
    EXPECT_EQ(view.output, asShown(buffer.text()));
}

TEST_F(OutputBufferTest, NothingEverExceedsTheBoxLimit) {
    buffer.setGeometry(1000, 100, 10, 32000);
    for (int i = 0; i < 100; ++i) {
        buffer.showLine(lineOf(std::string(1000, 'z')), -1);
        ASSERT_LE(buffer.length(), OutputBuffer::kMaxLength);
    }
}

TEST_F(OutputBufferTest, UnfinishedTailsNeverTrimButJoinTheirLine) {
    for (int i = 0; i < 9; ++i) {
        buffer.showLine(lineOf("12345678"), -1);
    }
    buffer.showLine(lineOf("login: ", false), -1);
    EXPECT_EQ(buffer.lineCount(), 10u);
    buffer.showLine(lineOf("Guest"), -1);
    EXPECT_NE(buffer.text().find("login: Guest\r\n"), std::string::npos);
}

// A server that never ends its line (with TagMode off every read shows its
// tail): the line is cut from the front as it grows, and the cut text must
// not stay behind in memory.
TEST_F(OutputBufferTest, ALineThatNeverEndsHoldsNoMoreThanTheBoxCanShow) {
    TextLine piece = lineOf("\xc3\xbf"
                            "abcdefgh",
                            false);
    piece.spans.push_back(StyleSpan{2, 3, TextStyle{Rgb{255, 0, 0}, {}, false}});
    for (int i = 0; i < 20000; ++i) {
        buffer.showLine(piece, -1);
        if (i % 7 == 0) {
            buffer.flush();
        }
    }
    buffer.flush();
    EXPECT_EQ(buffer.lineCount(), 1u);
    EXPECT_LE(buffer.storedBytes(), 2 * OutputBuffer::kMaxLength + 20);
    EXPECT_EQ(view.output, asShown(buffer.text()));

    // Drawn afresh, the colours still sit on the same characters.
    view.appendedSpans.clear();
    view.rebuild = true;
    buffer.showLine(piece, -1);
    buffer.flush();
    ASSERT_GT(view.appendedSpans.size(), 1000u);
    EXPECT_TRUE(std::string("abc").ends_with(view.appendedSpans.front().first));
    for (std::size_t i = 1; i < view.appendedSpans.size(); ++i) {
        ASSERT_EQ(view.appendedSpans[i].first, "abc") << i;
    }
}

TEST_F(OutputBufferTest, AFloodReachesTheViewAsOneTrimAndOneAppend) {
    buffer.showLine(lineOf("first"), -1);
    buffer.flush();
    view.trims = 0;
    for (int i = 0; i < 1000; ++i) {
        buffer.showLine(lineOf("flood line " + std::to_string(i)), -1);
    }
    buffer.flush();
    EXPECT_LE(view.trims, 1);
    EXPECT_EQ(view.output, asShown(buffer.text()));
    EXPECT_EQ(view.output.find("first"), std::string::npos);
}

TEST_F(OutputBufferTest, NoticesSplitAtCrLf) {
    buffer.ShowOutput("\r\nConnecting to host...\r\n");
    buffer.ShowOutput("Connected, waiting...\r\n");
    buffer.flush();
    EXPECT_EQ(view.output, "\nConnecting to host...\nConnected, waiting...\n");
}

TEST_F(OutputBufferTest, TriggerLooksCoverTheWholeLine) {
    TextLine line = lineOf("a dragon!");
    line.spans.push_back(StyleSpan{2, 6, TextStyle{Rgb{255, 0, 0}, {}, true}});
    const int look = buffer.addLook(TriggerLook{"Serif", 12, true, false, Rgb{0, 0, 255}});
    EXPECT_EQ(buffer.addLook(TriggerLook{"Serif", 12, true, false, Rgb{0, 0, 255}}), look);
    buffer.showLine(line, look);
    buffer.flush();
    ASSERT_EQ(view.appendedSpans.size(), 1u);
    EXPECT_EQ(view.appendedSpans[0].first, "a dragon!");
    EXPECT_EQ(view.appendedSpans[0].second.look, look);
}

// Whatever the mix of lines, tails, notices, flushes and views asking to
// start afresh, the view ends up showing exactly what the buffer keeps.
TEST_F(OutputBufferTest, TheViewAlwaysMatchesTheBuffer) {
    std::mt19937 random(7);
    buffer.setGeometry(800, 100, 8, 120);
    for (int step = 0; step < 3000; ++step) {
        const int kind = static_cast<int>(random() % 10);
        const std::string text(random() % 30, static_cast<char>('a' + random() % 26));
        if (kind < 6) {
            buffer.showLine(lineOf(text), -1);
        } else if (kind < 8) {
            buffer.showLine(lineOf(text, false), -1);
        } else if (kind == 8) {
            buffer.ShowOutput("\r\n* " + text + "\r\n");
        } else if (random() % 50 == 0) {
            buffer.clear();
        } else {
            view.rebuild = true;
        }
        if (random() % 4 == 0) {
            buffer.flush();
            ASSERT_EQ(view.output, asShown(buffer.text())) << "step " << step;
        }
    }
}

} // namespace
} // namespace corvane::testing
